// Measures a "Testen" run over a folder of 100,000 matching files: into the
// main window's real result grid, against the same run into a ResultList,
// which keeps the rows without a window. The difference is what the grid
// costs the user on top of reading the folder and building the names.

#include "app/Application.h"
#include "engine/BatchRun.h"
#include "platform/posix/DriveNameSpace.h"
#include "ui/Main.h"
#include "ui/ResultGrid.h"
#include "widgets/Grids.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 100000;
constexpr int kRepeats = 5;

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    quorvane::TApplication application(argc, argv);
    application.SetTitle("Quorvane V1.24");

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("quorvane-resultgrid-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kFiles; ++i) {
        std::ofstream(folder / ("artist_" + std::to_string(i) + " - some title - album.mp3"));
    }

    quorvane::RenameSettings settings;
    settings.Folder = *quorvane::platform::posix::FromUnixPath(folder.string());

    application.CreateForm(quorvane::FormMain);
    quorvane::TStringGrid& grid = *quorvane::FormMain->StringGrid2;
    quorvane::FormMain->Show();

    std::vector<double> listTimes;
    std::vector<double> gridTimes;
    // Alternating the two runs spreads the machine's other load over both.
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        quorvane::ResultList list;
        Clock::time_point start = Clock::now();
        quorvane::RunBatch(settings, false, list);
        listTimes.push_back(Milliseconds(Clock::now() - start));
        if (static_cast<int>(list.Rows().size()) != kFiles) std::abort();

        quorvane::TGridResultTable table(grid);
        start = Clock::now();
        quorvane::RunBatch(settings, false, table);
        gridTimes.push_back(Milliseconds(Clock::now() - start));
        if (grid.RowCount() != kFiles + 1) std::abort();
    }
    application.processEvents();
    std::filesystem::remove_all(folder);

    const double listRun = Median(listTimes);
    const double gridRun = Median(gridTimes);
    std::printf("ResultGridBench: \"Testen\" over %d matching files, median of %d runs\n", kFiles, kRepeats);
    std::printf("  into a ResultList:       %8.1f ms\n", listRun);
    std::printf("  into the result grid:    %8.1f ms\n", gridRun);
    std::printf("  grid / list:             %8.2f (target: within 1.5)\n", gridRun / listRun);
    return 0;
}
