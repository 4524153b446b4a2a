// One batch run of the engine as a process of its own, with the settings the
// main window shows after start-up, on a folder given by its Unix path:
//
//   bench_QuorvaneRun test|execute FOLDER
//
// It prints the number of rows and how many say "Ok", so that the peer
// benchmark can check the run did its work; the rows themselves stay in
// memory as they would in the result grid.

#include "engine/BatchRun.h"
#include "platform/posix/DriveNameSpace.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

int main(int argc, char** argv)
{
    using namespace quorvane;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s test|execute FOLDER\n", argv[0]);
        return 2;
    }
    const std::string_view mode = argv[1];
    const std::optional<std::string> folder =
        platform::posix::FromUnixPath(std::filesystem::absolute(argv[2]).lexically_normal().string());
    if (!folder) {
        std::fprintf(stderr, "%s has no drive-letter name\n", argv[2]);
        return 1;
    }
    RenameSettings settings;
    settings.Folder = *folder;
    ResultList rows;
    RunBatch(settings, mode == "execute", rows);
    std::size_t ok = 0;
    for (const ResultRow& row : rows.Rows()) ok += row.Status == "Ok";
    std::printf("%zu %zu\n", rows.Rows().size(), ok);
    return 0;
}
