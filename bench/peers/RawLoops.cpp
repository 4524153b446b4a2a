// The bare C loops the peer benchmark measures every tool against, built
// without any Quorvane library so that a start of this program costs what a
// start of the smallest possible tool costs.
//
//   bench_RawLoops list FOLDER     readdir + fnmatch("*.mp3"), nothing else
//   bench_RawLoops rename FOLDER   the same listing, then each name with its
//                                  three " - " sections reordered 1, 3, 2
//                                  and renamed by renameat2 without replacing,
//                                  relative to the open folder

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <unistd.h>

namespace {

constexpr const char* kMask = "*.mp3";

// Reads every matching name first: renaming while the folder is still being
// read could deliver a renamed file a second time.
std::vector<std::string> List(DIR* folder)
{
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_type == DT_DIR) continue;
        if (::fnmatch(kMask, entry->d_name, FNM_CASEFOLD) == 0) names.emplace_back(entry->d_name);
    }
    return names;
}

// "a - b - c.mp3" -> "a - c - b.mp3"; empty when the name has fewer sections.
std::string Reordered(std::string_view name)
{
    constexpr std::string_view separator = " - ";
    const std::size_t dot = name.rfind('.');
    const std::string_view base = name.substr(0, dot);
    const std::size_t first = base.find(separator);
    if (first == std::string_view::npos) return {};
    const std::size_t second = base.find(separator, first + separator.size());
    if (second == std::string_view::npos) return {};
    std::string result(base.substr(0, first));
    result += separator;
    result += base.substr(second + separator.size());
    result += separator;
    result += base.substr(first + separator.size(), second - first - separator.size());
    if (dot != std::string_view::npos) result += name.substr(dot);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s list|rename FOLDER\n", argv[0]);
        return 2;
    }
    const std::string_view mode = argv[1];
    DIR* folder = ::opendir(argv[2]);
    if (folder == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    const std::vector<std::string> names = List(folder);
    std::size_t done = 0;
    if (mode == "rename") {
        const int descriptor = ::dirfd(folder);
        for (const std::string& name : names) {
            const std::string newName = Reordered(name);
            if (!newName.empty() &&
                ::renameat2(descriptor, name.c_str(), descriptor, newName.c_str(), RENAME_NOREPLACE) == 0) {
                ++done;
            }
        }
    } else {
        done = names.size();
    }
    ::closedir(folder);
    std::printf("%zu\n", done);
    return 0;
}
