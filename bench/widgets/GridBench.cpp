// Measures what a batch run does to the result grid: appending one row at a
// time up to 100,000 rows, against filling a plain vector with the same
// texts, and the time to paint one screen of the full grid.

#include "widgets/Grids.h"

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRows = 100000;
constexpr int kRepeats = 5;

struct TRowTexts {
    std::string Status;
    std::string OldName;
    std::string NewName;
};

std::vector<TRowTexts> MakeTexts()
{
    std::vector<TRowTexts> texts;
    texts.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        const std::string number = std::to_string(i);
        texts.push_back({i % 7 == 0 ? "--" : "Ok", "artist_" + number + " - some title - album.mp3",
                         "Artist " + number + " - Album - Some Title.mp3"});
    }
    return texts;
}

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double FillVector(const std::vector<TRowTexts>& texts)
{
    const Clock::time_point start = Clock::now();
    std::vector<std::array<std::string, 3>> rows;
    for (const TRowTexts& row : texts) rows.push_back({row.Status, row.OldName, row.NewName});
    const double elapsed = Milliseconds(Clock::now() - start);
    if (rows.size() != texts.size()) std::abort();
    return elapsed;
}

// The result grid as the main window lays it out, grown the way the batch
// run grows it: write the last row, then add one.
double FillGrid(const std::vector<TRowTexts>& texts, quorvane::TStringGrid& grid)
{
    const Clock::time_point start = Clock::now();
    for (const TRowTexts& row : texts) {
        const int last = grid.RowCount() - 1;
        grid.SetCells(0, last, row.Status);
        grid.SetCells(1, last, row.OldName);
        grid.SetCells(2, last, row.NewName);
        grid.SetRowCount(grid.RowCount() + 1);
    }
    return Milliseconds(Clock::now() - start);
}

std::unique_ptr<quorvane::TStringGrid> MakeResultGrid()
{
    auto grid = std::make_unique<quorvane::TStringGrid>();
    grid->SetColCount(3);
    grid->SetRowCount(2);
    grid->SetDefaultColWidth(80);
    grid->SetDefaultRowHeight(20);
    grid->SetOptions({quorvane::goFixedVertLine, quorvane::goFixedHorzLine, quorvane::goVertLine,
                      quorvane::goHorzLine, quorvane::goRangeSelect, quorvane::goColSizing});
    grid->resize(1280, 1024);
    grid->SetColWidths(1, 580);
    grid->SetColWidths(2, 580);
    grid->SetCells(0, 0, "Ergebnis");
    grid->SetCells(1, 0, "alt");
    grid->SetCells(2, 0, "neu");
    grid->show();
    QApplication::processEvents();
    return grid;
}

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const std::vector<TRowTexts> texts = MakeTexts();

    std::vector<double> vectorTimes;
    std::vector<double> gridTimes;
    std::unique_ptr<quorvane::TStringGrid> grid;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        vectorTimes.push_back(FillVector(texts));
        grid = MakeResultGrid();
        gridTimes.push_back(FillGrid(texts, *grid));
    }
    std::sort(vectorTimes.begin(), vectorTimes.end());
    std::sort(gridTimes.begin(), gridTimes.end());
    const double vectorMedian = vectorTimes[kRepeats / 2];
    const double gridMedian = gridTimes[kRepeats / 2];

    // Let the grid take its scroll range once, as after a batch run, and
    // look at the middle of the table.
    QApplication::processEvents();
    grid->SetTopRow(kRows / 2);
    QImage image(grid->size(), QImage::Format_ARGB32_Premultiplied);
    grid->render(&image);
    constexpr int kPaints = 20;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kPaints; ++i) grid->render(&image);
    const double paint = Milliseconds(Clock::now() - start) / kPaints;

    std::printf("rows appended:           %d (median of %d runs)\n", kRows, kRepeats);
    std::printf("vector of 3 strings:     %8.2f ms\n", vectorMedian);
    std::printf("string grid, row by row: %8.2f ms (%.0f ns per row)\n", gridMedian, gridMedian * 1e6 / kRows);
    std::printf("ratio grid / vector:     %8.2f (target: at most 3)\n", gridMedian / vectorMedian);
    std::printf("paint one screen %dx%d: %6.2f ms (target: under 20 ms), %d rows in the grid\n", grid->width(),
                grid->height(), paint, grid->RowCount());
    return 0;
}
