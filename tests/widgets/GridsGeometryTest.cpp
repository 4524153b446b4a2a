#include "widgets/GridsGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {
namespace {

TGridAxis Axis(int count, int fixed, int defaultSize, int client, int first, const std::vector<int>* sizes = nullptr)
{
    return {count, fixed, defaultSize, sizes, 1, first, client};
}

TEST(GridsGeometryTest, CellsFollowFixedCellsThenTheScrolledOnes)
{
    const TGridGeometry geometry(Axis(5, 1, 64, 300, 3), Axis(5, 1, 24, 100, 1));
    EXPECT_EQ(geometry.CellRect(0, 0), QRect(0, 0, 64, 24));
    // Column 3 is the first scrolled one: it follows the fixed column and its line.
    EXPECT_EQ(geometry.CellRect(3, 1), QRect(65, 25, 64, 24));
    EXPECT_EQ(geometry.CellRect(4, 2), QRect(130, 50, 64, 24));
    EXPECT_TRUE(geometry.CellRect(1, 1).isEmpty()) << "scrolled out to the left";
    EXPECT_TRUE(geometry.CellRect(3, 5).isEmpty()) << "beyond the row count";

    int col = -1;
    int row = -1;
    ASSERT_TRUE(geometry.CellAt(QPoint(64, 24), col, row)) << "a grid line belongs to the cell before it";
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 0);
    ASSERT_TRUE(geometry.CellAt(QPoint(65, 100 - 1), col, row));
    EXPECT_EQ(col, 3);
    EXPECT_EQ(row, 3);
    EXPECT_FALSE(geometry.CellAt(QPoint(200, 10), col, row)) << "right of the last column";
}

TEST(GridsGeometryTest, ColumnsOfNoWidthTakeNoRoomAndNeverFail)
{
    const std::vector<int> widths{40, 0, -25, 50};
    const TGridGeometry geometry(Axis(4, 1, 64, 200, 1, &widths), Axis(3, 1, 20, 100, 1));
    EXPECT_TRUE(geometry.CellRect(1, 1).isEmpty());
    EXPECT_TRUE(geometry.CellRect(2, 1).isEmpty());
    EXPECT_EQ(geometry.CellRect(3, 1), QRect(41, 21, 50, 20));
    int col = -1;
    int row = -1;
    ASSERT_TRUE(geometry.CellAt(QPoint(41, 30), col, row));
    EXPECT_EQ(col, 3);
    // 159 pixels right of the fixed column: the two hidden columns, column 3
    // (51) and two default columns beyond the count (65 each, one partly).
    EXPECT_EQ(geometry.Cols().ScrolledSpan(), 5);
    EXPECT_EQ(geometry.Cols().MaxFirstScrolled(), 1);
}

// The arithmetic used while no size is stored must agree with the walk over
// a stored list that holds only defaults.
TEST(GridsGeometryTest, DefaultSizesAgreeWithAStoredListOfDefaults)
{
    const std::vector<int> stored(50, 20);
    for (int client : {0, 15, 21, 100, 1049, 1050, 2000}) {
        for (int first : {2, 7, 40}) {
            const TGridAxis plain = Axis(50, 2, 20, client, first);
            const TGridAxis listed = Axis(50, 2, 20, client, first, &stored);
            SCOPED_TRACE(testing::Message() << "client " << client << ", first " << first);
            EXPECT_EQ(plain.FixedExtent(), listed.FixedExtent());
            EXPECT_EQ(plain.FullyVisibleCount(), listed.FullyVisibleCount());
            EXPECT_EQ(plain.MaxFirstScrolled(), listed.MaxFirstScrolled());
            EXPECT_EQ(plain.ScrolledSpan(), listed.ScrolledSpan());
            EXPECT_EQ(plain.LastVisible(), listed.LastVisible());
            for (int index : {0, 1, 2, first, first + 3, 49}) EXPECT_EQ(plain.Start(index), listed.Start(index));
            for (int position = -1; position <= client; position += 7) {
                EXPECT_EQ(plain.IndexAt(position), listed.IndexAt(position)) << position;
            }
        }
    }
}

TEST(GridsGeometryTest, PagesAndTheLastScrollPosition)
{
    // 10 rows of 20 pixels plus line, 1 fixed, a client of 100 pixels: 3
    // scrolled rows fit entirely below the header, the fourth partly.
    const TGridAxis rows = Axis(10, 1, 20, 100, 1);
    EXPECT_EQ(rows.FullyVisibleCount(), 3);
    EXPECT_EQ(rows.ScrolledSpan(), 4);
    EXPECT_EQ(rows.LastVisible(), 4);
    EXPECT_EQ(rows.MaxFirstScrolled(), 7) << "rows 7 to 9 fill the view";
    EXPECT_EQ(Axis(3, 1, 20, 100, 1).MaxFirstScrolled(), 1) << "everything fits";
    EXPECT_EQ(Axis(10, 1, 20, 30, 1).MaxFirstScrolled(), 9) << "not even one row fits";
    EXPECT_EQ(Axis(10, 1, 20, 30, 1).FullyVisibleCount(), 1);
}

TEST(GridsGeometryTest, SizingZonesAroundTheLine)
{
    struct Case {
        int lineWidth;
        int left;
        int right;
    };
    for (const Case& c : {Case{0, 97, 104}, Case{1, 97, 104}, Case{2, 98, 105}, Case{3, 98, 105}, Case{5, 99, 106},
                          Case{6, 100, 107}, Case{7, 100, 106}, Case{10, 100, 109}}) {
        const TSizingZone zone = SizingZoneAround(100, c.lineWidth);
        EXPECT_EQ(zone.Left, c.left) << "line width " << c.lineWidth;
        EXPECT_EQ(zone.Right, c.right) << "line width " << c.lineWidth;
    }
}

TEST(GridsGeometryTest, SizingStartsOnlyInTheHeaderRightOfTheFixedColumns)
{
    // Fixed column 0 ends at 64 (line at 64), column 1 at 64 + 1 + 64 = 129.
    const TGridGeometry geometry(Axis(3, 1, 64, 400, 1), Axis(3, 1, 24, 200, 1));
    struct Case {
        int x;
        int y;
        std::optional<int> col;
    };
    for (const Case& c : {Case{125, 5, std::nullopt}, Case{126, 5, 1}, Case{129, 5, 1}, Case{133, 5, 1},
                          Case{134, 5, std::nullopt}, Case{194, 5, 2}, Case{61, 5, std::nullopt},
                          Case{129, 30, std::nullopt}}) {
        EXPECT_EQ(geometry.SizingColumnAt(QPoint(c.x, c.y)), c.col) << c.x << "," << c.y;
    }
}

}  // namespace
}  // namespace quorvane
