// Measures what a batch run costs per file against the bare system calls it
// rests on: listing a folder with a mask, and renaming its files. It runs on
// the file system of the current folder, in a temporary folder it removes
// again, with 1,000, 10,000 and 100,000 files of the kind users rename
// ("artist_000123 - title of song 123 - album.mp3").
//
// Usage: bench_BatchRunBench [largest file count, default 100000]

#include "engine/BatchRun.h"
#include "engine/NameRestructuring.h"
#include "platform/FileSystem.h"
#include "platform/TextCase.h"
#include "platform/posix/DriveNameSpace.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kMask = "*.mp3";

std::string FileName(int number)
{
    char name[96];
    std::snprintf(name, sizeof name, "artist_%06d - title of song %d - album.mp3", number, number);
    return name;
}

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// A folder of the benchmark's files, made afresh for every run that renames.
class BenchFolder {
public:
    explicit BenchFolder(std::filesystem::path path) : m_path(std::move(path)) {}

    const std::filesystem::path& Path() const { return m_path; }

    void Fill(int count)
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directory(m_path);
        const int dirfd = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY);
        if (dirfd < 0) throw std::runtime_error("cannot open " + m_path.string());
        for (int i = 0; i < count; ++i) {
            const std::string file = FileName(i);
            const int fd = ::openat(dirfd, file.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
            if (fd < 0) throw std::runtime_error("cannot create " + file + ": " + std::strerror(errno));
            ::close(fd);
        }
        ::close(dirfd);
        // Every timed loop starts with the creations written out, so that none
        // of them pays for the write-back of the files it found.
        ::sync();
    }

    std::size_t CountMatching() const
    {
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
            if (::fnmatch(kMask, entry.path().filename().c_str(), FNM_CASEFOLD) == 0) ++count;
        }
        return count;
    }

private:
    std::filesystem::path m_path;
};

// The bare listing: every entry of the folder, matched against the same
// mask, skipping folders as the run does.
std::size_t RawEnumeration(const std::filesystem::path& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) throw std::runtime_error("cannot open " + folder.string());
    std::size_t matching = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_type == DT_DIR) continue;
        if (::fnmatch(kMask, entry->d_name, FNM_CASEFOLD) == 0) ++matching;
    }
    ::closedir(dir);
    return matching;
}

// The bare renames: the same old and new names as the run, each renamed
// without replacing anything.
std::size_t RawRenames(const std::filesystem::path& folder,
                       const std::vector<std::pair<std::string, std::string>>& renames)
{
    const int dirfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirfd < 0) throw std::runtime_error("cannot open " + folder.string());
    std::size_t renamed = 0;
    for (const auto& [from, to] : renames) {
        if (::renameat2(dirfd, from.c_str(), dirfd, to.c_str(), RENAME_NOREPLACE) == 0) ++renamed;
    }
    ::close(dirfd);
    return renamed;
}

// The system calls of an execute run without the run: the folder listed
// with the mask, and each listed file renamed at once by its full path while
// the listing is still open, as the run renames through the file-system
// service. Names the loop has no new name for (renamed files met again) are
// passed over.
std::size_t RawRenamesWhileListing(const std::filesystem::path& folder,
                                   const std::unordered_map<std::string, std::string>& newNames)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) throw std::runtime_error("cannot open " + folder.string());
    const std::string prefix = folder.string() + '/';
    std::string from;
    std::string to;
    std::size_t renamed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_type == DT_DIR || ::fnmatch(kMask, entry->d_name, FNM_CASEFOLD) != 0) continue;
        const auto newName = newNames.find(entry->d_name);
        if (newName == newNames.end()) continue;
        from = prefix + entry->d_name;
        to = prefix + newName->second;
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) ++renamed;
    }
    ::closedir(dir);
    return renamed;
}

struct Figures {
    double enumeration = 1e30;
    double testRun = 1e30;
    double rawRenames = 1e30;
    double rawRenamesWhileListing = 1e30;
    double executeRun = 1e30;
};

void Require(bool condition, const char* what)
{
    if (!condition) throw std::runtime_error(std::string("benchmark check failed: ") + what);
}

Figures Measure(BenchFolder& folder, int count, int listings, int renamings)
{
    using namespace quorvane;

    RenameSettings settings;
    const std::optional<std::string> drivePath =
        platform::posix::FromUnixPath(std::filesystem::absolute(folder.Path()).string());
    Require(drivePath.has_value(), "the folder has a drive-letter name");
    settings.Folder = *drivePath;

    const SectionMap map = ValidateSectionMap(settings.MapCells, settings.SectionCount);
    std::vector<std::pair<std::string, std::string>> renames;
    renames.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string name = FileName(i);
        std::string newName = RestructureName(name, settings, map).NewName;
        renames.emplace_back(std::move(name), std::move(newName));
    }
    const std::unordered_map<std::string, std::string> newNames(renames.begin(), renames.end());

    Figures figures;
    folder.Fill(count);
    for (int r = 0; r < listings; ++r) {
        const auto start = Clock::now();
        const std::size_t listed = RawEnumeration(folder.Path());
        figures.enumeration = std::min(figures.enumeration, Seconds(Clock::now() - start));
        Require(listed == static_cast<std::size_t>(count), "raw enumeration lists every file");
    }
    for (int r = 0; r < listings; ++r) {
        ResultList rows;
        const auto start = Clock::now();
        RunBatch(settings, false, rows);
        figures.testRun = std::min(figures.testRun, Seconds(Clock::now() - start));
        Require(rows.Rows().size() == static_cast<std::size_t>(count), "test run lists every file once");
        Require(std::all_of(rows.Rows().begin(), rows.Rows().end(),
                            [](const ResultRow& row) { return row.Status == "Ok"; }),
                "test run restructures every file");
    }
    for (int r = 0; r < renamings; ++r) {
        folder.Fill(count);
        const auto start = Clock::now();
        const std::size_t renamed = RawRenames(folder.Path(), renames);
        figures.rawRenames = std::min(figures.rawRenames, Seconds(Clock::now() - start));
        Require(renamed == static_cast<std::size_t>(count), "raw loop renames every file");

        folder.Fill(count);
        const auto listingStart = Clock::now();
        const std::size_t renamedWhileListing = RawRenamesWhileListing(folder.Path(), newNames);
        figures.rawRenamesWhileListing =
            std::min(figures.rawRenamesWhileListing, Seconds(Clock::now() - listingStart));
        Require(renamedWhileListing == static_cast<std::size_t>(count), "listing loop renames every file");

        folder.Fill(count);
        ResultList rows;
        const auto executeStart = Clock::now();
        RunBatch(settings, true, rows);
        figures.executeRun = std::min(figures.executeRun, Seconds(Clock::now() - executeStart));
        Require(rows.Rows().size() == static_cast<std::size_t>(count), "execute run lists every file once");
        Require(std::all_of(rows.Rows().begin(), rows.Rows().end(),
                            [](const ResultRow& row) { return row.Status == "Ok"; }),
                "execute run renames every file");
        Require(folder.CountMatching() == static_cast<std::size_t>(count), "no file lost");
        Require(std::filesystem::exists(folder.Path() / renames.back().second), "files bear their new names");
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv)
{
    const int largest = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string pattern = "quorvane-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path base = std::filesystem::absolute(pattern);
    BenchFolder folder(base / "files");

    std::printf("Batch run on %s\n", base.c_str());
    std::printf("Microseconds per file, best of the repetitions:\n");
    std::printf("  list     opendir/readdir with the mask\n");
    std::printf("  test     RunBatch test run into a ResultList\n");
    std::printf("  rename   renameat2 of every file by its name in the open folder\n");
    std::printf("  listren  readdir with the mask and renameat2 by full path while listing\n");
    std::printf("  execute  RunBatch execute run into a ResultList\n\n");
    std::printf("%8s %9s %9s %9s %9s %9s %10s %10s %10s\n", "files", "list", "test", "rename", "listren", "execute",
                "test/list", "exec/ren", "exec/lren");
    int status = 0;
    try {
        for (int count = 1000; count <= largest; count *= 10) {
            const Figures f = Measure(folder, count, 9, count >= 100000 ? 3 : 5);
            const double perFile = 1e6 / count;
            std::printf("%8d %9.3f %9.3f %9.3f %9.3f %9.3f %10.2f %10.2f %10.2f\n", count, f.enumeration * perFile,
                        f.testRun * perFile, f.rawRenames * perFile, f.rawRenamesWhileListing * perFile,
                        f.executeRun * perFile, f.testRun / f.enumeration, f.executeRun / f.rawRenames,
                        f.executeRun / f.rawRenamesWhileListing);
            std::fflush(stdout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        status = 1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
    return status;
}
