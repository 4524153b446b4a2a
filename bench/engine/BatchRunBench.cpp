// Measures what a batch run costs per file against the bare system calls it
// rests on: listing a folder with a mask, and renaming its files. It runs on
// the file system of the current folder, in a temporary folder it removes
// again, with 1,000, 10,000 and 100,000 files of the kind users rename
// ("artist_000123 - title of song 123 - album.mp3").
//
// Usage: bench_BatchRunBench [largest file count, default 100000]

#include "bench/engine/BenchScratch.h"
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
#include <time.h>
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
// with the mask, and each listed file renamed at once by name relative to the
// folder, opened once, while the listing is still open, as the run renames
// through the file-system service. Names the loop has no new name for
// (renamed files met again) are passed over.
std::size_t RawRenamesWhileListing(const std::filesystem::path& folder,
                                   const std::unordered_map<std::string, std::string>& newNames)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) throw std::runtime_error("cannot open " + folder.string());
    const int named = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    std::size_t renamed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_type == DT_DIR || ::fnmatch(kMask, entry->d_name, FNM_CASEFOLD) != 0) continue;
        const auto newName = newNames.find(entry->d_name);
        if (newName == newNames.end()) continue;
        if (::renameat2(named, entry->d_name, named, newName->second.c_str(), RENAME_NOREPLACE) == 0) ++renamed;
    }
    ::close(named);
    ::closedir(dir);
    return renamed;
}

// The best wall-clock time and the best processor time (user and system)
// of a measured step over its repetitions. The machine may be shared, so the
// processor time shows the work done apart from waiting for other programs.
struct Timing {
    double Wall = 1e30;
    double Processor = 1e30;

    template <class Step>
    auto operator()(Step&& step)
    {
        const auto wallStart = Clock::now();
        const double processorStart = ProcessorSeconds();
        auto result = step();
        Processor = std::min(Processor, ProcessorSeconds() - processorStart);
        Wall = std::min(Wall, Seconds(Clock::now() - wallStart));
        return result;
    }

    static double ProcessorSeconds()
    {
        timespec now{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }
};

struct Figures {
    Timing Listing;
    Timing TestRun;
    Timing Renames;
    Timing RenamesWhileListing;
    Timing ExecuteRun;
};

void Require(bool condition, const char* what)
{
    if (!condition) throw std::runtime_error(std::string("benchmark check failed: ") + what);
}

bool AllOk(const quorvane::ResultList& rows, int count)
{
    return rows.Rows().size() == static_cast<std::size_t>(count) &&
           std::all_of(rows.Rows().begin(), rows.Rows().end(),
                       [](const quorvane::ResultRow& row) { return row.Status == "Ok"; });
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
    const std::size_t all = static_cast<std::size_t>(count);

    Figures f;
    folder.Fill(count);
    for (int r = 0; r < listings; ++r) {
        Require(f.Listing([&] { return RawEnumeration(folder.Path()); }) == all, "raw listing lists every file");
        ResultList rows;
        f.TestRun([&] {
            RunBatch(settings, false, rows);
            return 0;
        });
        Require(AllOk(rows, count), "test run restructures every file once");
    }
    for (int r = 0; r < renamings; ++r) {
        folder.Fill(count);
        Require(f.Renames([&] { return RawRenames(folder.Path(), renames); }) == all, "raw loop renames every file");

        folder.Fill(count);
        Require(f.RenamesWhileListing([&] { return RawRenamesWhileListing(folder.Path(), newNames); }) == all,
                "listing loop renames every file");

        folder.Fill(count);
        ResultList rows;
        f.ExecuteRun([&] {
            RunBatch(settings, true, rows);
            return 0;
        });
        Require(AllOk(rows, count), "execute run renames every file once");
        Require(folder.CountMatching() == all, "no file lost");
        Require(std::filesystem::exists(folder.Path() / renames.back().second), "files bear their new names");
    }
    return f;
}

void PrintLine(int count, double Timing::*measure, const Figures& f)
{
    const double perFile = 1e6 / count;
    const double list = f.Listing.*measure;
    const double test = f.TestRun.*measure;
    const double rename = f.Renames.*measure;
    const double listRename = f.RenamesWhileListing.*measure;
    const double execute = f.ExecuteRun.*measure;
    std::printf("%8d %9.3f %9.3f %9.3f %9.3f %9.3f %10.2f %10.2f %10.2f\n", count, list * perFile, test * perFile,
                rename * perFile, listRename * perFile, execute * perFile, test / list, execute / rename,
                execute / listRename);
}

}  // namespace

int main(int argc, char** argv)
{
    const int largest = argc > 1 ? std::atoi(argv[1]) : 100000;
    return quorvane::bench::WithScratchFolder([largest](const std::filesystem::path& base) {
        BenchFolder folder(base / "files");

        std::printf("Batch run on %s\n", base.c_str());
        std::printf("Microseconds per file, best of the repetitions:\n");
        std::printf("  list     opendir/readdir with the mask\n");
        std::printf("  test     RunBatch test run into a ResultList\n");
        std::printf("  rename   renameat2 of every file by its name in the open folder\n");
        std::printf("  listren  readdir with the mask and renameat2 in the named folder while listing\n");
        std::printf("  execute  RunBatch execute run into a ResultList\n");
        const char* header = "%8s %9s %9s %9s %9s %9s %10s %10s %10s\n";
        std::vector<std::pair<int, Figures>> results;
        std::printf("\nWall-clock time\n");
        std::printf(header, "files", "list", "test", "rename", "listren", "execute", "test/list", "exec/ren",
                    "exec/lren");
        for (int count = 1000; count <= largest; count *= 10) {
            results.emplace_back(count, Measure(folder, count, 9, count >= 100000 ? 2 : 5));
            PrintLine(count, &Timing::Wall, results.back().second);
            std::fflush(stdout);
        }
        std::printf("\nProcessor time (user and system) of this program\n");
        std::printf(header, "files", "list", "test", "rename", "listren", "execute", "test/list", "exec/ren",
                    "exec/lren");
        for (const auto& [count, figures] : results) PrintLine(count, &Timing::Processor, figures);
    });
}
