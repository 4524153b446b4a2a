// Measures what a batch run asks of the platform per file, against the bare
// system calls: the enumeration with a mask, the ignore-case key of a name
// and the rename. Run it from the build folder, so the files lie on the file
// system the project is built on:  bench/bench_PosixFileSystemBench [folder]

#include "platform/FileSystem.h"
#include "platform/TextCase.h"
#include "platform/posix/DriveNameSpace.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double NanosecondsPerFile(Clock::time_point start, std::size_t files)
{
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / static_cast<double>(files);
}

std::string SongName(std::size_t i)
{
    char name[96];
    std::snprintf(name, sizeof name, "artist_%06zu - title of song %zu - album.mp3", i, i);
    return name;
}

// The best of three rounds, so that one disturbance on a shared machine does
// not decide the figure.
template<class Work> double Best(std::size_t files, Work work)
{
    double best = 1e300;
    for (int round = 0; round < 3; ++round) {
        const Clock::time_point start = Clock::now();
        work();
        best = std::min(best, NanosecondsPerFile(start, files));
    }
    return best;
}

void Measure(const std::filesystem::path& folder, std::size_t files)
{
    using namespace quorvane::platform;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (std::size_t i = 0; i < files; ++i) {
        ::close(::open((folder / SongName(i)).c_str(), O_CREAT | O_WRONLY, 0644));
    }
    const std::string name
        = quorvane::platform::posix::FromUnixPath(std::filesystem::canonical(folder).string()).value();
    FileSystem& fs = NativeFileSystem();
    std::size_t seen = 0;

    const double raw = Best(files, [&] {
        DIR* dir = ::opendir(folder.c_str());
        while (const dirent* entry = ::readdir(dir))
            seen += ::fnmatch("*.mp3", entry->d_name, FNM_CASEFOLD) == 0;
        ::closedir(dir);
    });
    const auto enumerate = [&](std::uint32_t needed) {
        return Best(files, [&] {
            std::unique_ptr<FindHandle> find = fs.FindFirstReporting(name + "\\*.mp3", needed);
            FindEntry entry;
            while (find->Next(entry))
                seen += entry.Attributes != 0x7FFF;
        });
    };
    const double folders = enumerate(faDirectory);
    const double all = enumerate(kAllAttributes);

    std::vector<std::string> names;
    for (std::size_t i = 0; i < files; ++i)
        names.push_back(SongName(i));
    const TextCase& text = NativeTextCase();
    const double keys = Best(files, [&] {
        for (const std::string& song : names)
            seen += text.IgnoreCaseKey(song).size();
    });

    const auto renameAll = [&](auto rename) {
        const Clock::time_point start = Clock::now();
        for (std::size_t i = 0; i < files; ++i)
            rename(names[i], names[i] + ".x");
        for (std::size_t i = 0; i < files; ++i)
            rename(names[i] + ".x", names[i]);
        return NanosecondsPerFile(start, 2 * files);
    };
    const double rawRename = renameAll([&](const std::string& from, const std::string& to) {
        ::renameat2(AT_FDCWD, (folder / from).c_str(), AT_FDCWD, (folder / to).c_str(), RENAME_NOREPLACE);
    });
    const double moveFile = renameAll(
        [&](const std::string& from, const std::string& to) { fs.MoveFile(name + "\\" + from, name + "\\" + to); });

    std::printf("%7zu files: readdir+fnmatch %5.0f ns | enumeration, folder bit %5.0f ns (x%.2f), all attributes "
                "%5.0f ns (x%.2f) | ignore-case key %4.0f ns | renameat2 %6.0f ns | MoveFile %6.0f ns (x%.2f)\n",
                files, raw, folders, folders / raw, all, all / raw, keys, rawRename, moveFile, moveFile / rawRename);
    std::filesystem::remove_all(folder);
    if (seen == 0) std::printf("nothing seen\n");
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path folder = std::filesystem::absolute(argc > 1 ? argv[1] : "quorvane-platform-bench");
    for (std::size_t files : { 1000, 10000, 100000 })
        Measure(folder, files);
    return 0;
}
