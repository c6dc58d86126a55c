// SPDX-License-Identifier: MIT
// The window tests' picture reading, on pictures made here: the grid view's
// geometry and cell reader, the crop, and how a spinner is found among solid
// boxes. No X server is involved.
#include "tests/support/grid_picture.h"
#include "tests/support/picture.h"
#include "tests/support/spinner_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::uint32_t white = 0xffffff;

picture blank(int width, int height, std::uint32_t colour)
{
    picture p;
    p.width = width;
    p.height = height;
    p.rgb.assign(static_cast<std::size_t>(width) * height, colour);
    return p;
}

void fill(picture *p, const box &b, std::uint32_t colour)
{
    for (int y = b.y; y < b.y + b.height; y++)
        for (int x = b.x; x < b.x + b.width; x++)
            p->rgb[static_cast<std::size_t>(y) * p->width + x] = colour;
}

// What a viewer draws: an n x n grid view whose cell (i, j) has colour(i, j),
// in a white margin, with edge pixels given the colour of either side.
template <typename F> picture grid_view(int n, int width, int height, F colour)
{
    picture p = blank(width, height, white);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            int i = -1, j = -1;
            if (grid_part_at(n, width, height, x, y, &i, &j) == grid_cell)
                p.rgb[static_cast<std::size_t>(y) * width + x] = colour(i, j);
        }
    return p;
}

bool same_box(const box &a, const box &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

} // namespace

// Every cell's centre pixel lies inside that cell, and the corners of the
// window and pixels on the line between two cells are not judged as cells;
// for the viewers' default 300 x 300 window and for uneven shapes.
TEST(GridPicture, CellCentresLieInTheirCellsAndEdgesAndMarginsAreTold)
{
    struct shape {
        int n, width, height;
    };
    for (shape s :
         {shape{50, 300, 300}, shape{64, 300, 300}, shape{64, 517, 203}, shape{3, 40, 90}}) {
        SCOPED_TRACE(testing::Message() << s.n << " cells in " << s.width << " x " << s.height);
        for (int i = 0; i < s.n; i++)
            for (int j = 0; j < s.n; j++) {
                int x, y, ci = -1, cj = -1;
                grid_cell_centre(s.n, s.width, s.height, i, j, &x, &y);
                ASSERT_EQ(grid_part_at(s.n, s.width, s.height, x, y, &ci, &cj), grid_cell)
                    << "centre of (" << i << ", " << j << ")";
                ASSERT_EQ(ci, i);
                ASSERT_EQ(cj, j);
            }
        int i, j;
        EXPECT_EQ(grid_part_at(s.n, s.width, s.height, 0, 0, &i, &j), grid_margin);
        EXPECT_EQ(grid_part_at(s.n, s.width, s.height, s.width - 1, s.height - 1, &i, &j),
                  grid_margin);
    }
    // In 300 pixels for 3 + 2 cells each cell is 60 wide: x = 119 and 120
    // touch the line between cells 0 and 1, 150 is well inside cell 1. j
    // counts from the bottom, so the top row of cells is j = 2.
    int i = -1, j = -1;
    EXPECT_EQ(grid_part_at(3, 300, 300, 119, 150, &i, &j), grid_edge);
    EXPECT_EQ(grid_part_at(3, 300, 300, 120, 150, &i, &j), grid_edge);
    EXPECT_EQ(grid_part_at(3, 300, 300, 59, 150, &i, &j), grid_edge);
    ASSERT_EQ(grid_part_at(3, 300, 300, 150, 70, &i, &j), grid_cell);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(j, 2);
}

TEST(GridPicture, ReadGridGivesEachCellsColourAndFindsStrayPixels)
{
    const int n = 5;
    auto colour = [](int i, int j) { return static_cast<std::uint32_t>(i * 16 + j) << 16; };
    picture p = grid_view(n, 140, 100, colour);
    std::vector<std::uint32_t> colours;
    ASSERT_TRUE(read_grid(p, n, &colours));
    for (int i = 0; i < n; i++)
        for (int j = 0; j < n; j++)
            EXPECT_EQ(colours[i * n + j], colour(i, j)) << i << ", " << j;

    picture stray = p;
    int x, y;
    grid_cell_centre(n, 140, 100, 3, 1, &x, &y);
    stray.rgb[static_cast<std::size_t>(y + 3) * 140 + x + 2] = 0x00ff00;
    ::testing::AssertionResult read = read_grid(stray, n, &colours);
    EXPECT_FALSE(read);
    EXPECT_NE(std::string(read.message()).find("cell (3, 1)"), std::string::npos) << read.message();

    picture margin = p;
    margin.rgb[140 + 1] = 0x000000;
    read = read_grid(margin, n, &colours);
    EXPECT_FALSE(read);
    EXPECT_NE(std::string(read.message()).find("margin pixel (1, 1)"), std::string::npos)
        << read.message();

    // Off-screen pixels are not judged, in the margin or in a cell.
    picture clipped = p;
    fill(&clipped, box{100, 0, 40, 100}, off_screen_pixel);
    EXPECT_TRUE(read_grid(clipped, n, &colours));

    EXPECT_FALSE(read_grid(picture(), n, &colours));
}

// The fixtures compare a spinner's field across pictures by cropping it out.
TEST(Picture, CropKeepsTheBoxsPixelsInOrder)
{
    picture p = blank(7, 5, white);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 7; x++)
            p.rgb[static_cast<std::size_t>(y) * 7 + x] = static_cast<std::uint32_t>(16 * y + x);
    picture part = crop(p, box{2, 1, 4, 3});
    ASSERT_EQ(part.width, 4);
    ASSERT_EQ(part.height, 3);
    ASSERT_EQ(part.rgb.size(), 12u);
    EXPECT_EQ(pixel_at(part, 0, 0), 16u * 1 + 2);
    EXPECT_EQ(pixel_at(part, 3, 2), 16u * 3 + 5);
    EXPECT_TRUE(same_picture(crop(p, box{0, 0, 7, 5}), p));
}

// A control window: a grey background with a label box, the text field with
// text on it, the two buttons, and the things that must not count as boxes.
TEST(SpinnerLayout, FindBoxesKeepsSolidBoxesOnlyAndTheSpinnerIsTheLastThree)
{
    picture p = blank(200, 40, 0x333333);
    const box label{4, 10, 20, 20}, field{60, 8, 80, 24}, minus{144, 8, 20, 24},
        plus{168, 8, 20, 24};
    fill(&p, label, 0x555555);
    fill(&p, field, 0x222222);
    fill(&p, minus, 0x444444);
    fill(&p, plus, 0x444444);
    // Text on the field: strokes too thin to be boxes, holes in the field.
    for (int x = 70; x < 130; x += 3)
        fill(&p, box{x, 12, 1, 16}, 0xffffff);
    // Too small, touching the edge, and too sparse (an outline).
    fill(&p, box{30, 10, 6, 6}, 0x777777);
    fill(&p, box{192, 0, 8, 40}, 0x888888);
    fill(&p, box{40, 2, 14, 1}, 0x999999);
    fill(&p, box{40, 2, 1, 14}, 0x999999);

    std::vector<box> boxes = find_boxes(p, 8);
    ASSERT_EQ(boxes.size(), 4u);
    const box want[] = {label, field, minus, plus};
    for (int k = 0; k < 4; k++)
        EXPECT_TRUE(same_box(boxes[k], want[k])) << "box " << k << " at x " << boxes[k].x;
    box f, m, b;
    ASSERT_TRUE(spinner_of(boxes, &f, &m, &b));
    EXPECT_TRUE(same_box(f, field));
    EXPECT_TRUE(same_box(m, minus));
    EXPECT_TRUE(same_box(b, plus));

    EXPECT_FALSE(spinner_of({field, minus}, &f, &m, &b));
    // A field no wider than twice its height, or a wide button, is no spinner.
    EXPECT_FALSE(spinner_of({box{0, 0, 48, 24}, minus, plus}, &f, &m, &b));
    EXPECT_FALSE(spinner_of({field, minus, box{0, 0, 48, 24}}, &f, &m, &b));
}
