// SPDX-License-Identifier: MIT
// The web pages' OpenGL stand-in, natively: its batches go to a recording
// WebGL side, which turns every indexed draw back into its triangles.
#include "web/platform/gl_stand_in.h"
#include "web/platform/webgl_calls.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

struct corner {
    float x, y;
    unsigned char red;
    bool operator==(const corner &o) const { return x == o.x && y == o.y && red == o.red; }
};
typedef std::array<corner, 3> triangle;

std::vector<triangle> drawn;
int draws = 0;

struct vertex {
    double x, y, red;
};
typedef std::vector<vertex> polygon;

// Draws the polygons as the viewers do, then flushes; returns the fans of
// triangles the stand-in should hand to WebGL for them, in order.
std::vector<triangle> draw_and_expect(const std::vector<polygon> &polygons)
{
    std::vector<triangle> fans;
    for (const polygon &p : polygons) {
        glBegin(GL_POLYGON);
        for (const vertex &v : p) {
            glColor3d(v.red, 0.0, 0.0);
            glVertex2d(v.x, v.y);
        }
        glEnd();
        auto at = [&p](std::size_t k) {
            return corner{static_cast<float>(p[k].x), static_cast<float>(p[k].y),
                          static_cast<unsigned char>(std::lround(255.0 * p[k].red))};
        };
        for (std::size_t k = 2; k < p.size(); k++)
            fans.push_back({at(0), at(k - 1), at(k)});
    }
    glFlush();
    return fans;
}

// A polygon of n vertices that no other polygon of the test shares.
polygon numbered(int index, int n)
{
    polygon p;
    for (int k = 0; k < n; k++)
        p.push_back({index / 8192.0, k / 16384.0, (k % 11) / 10.0});
    return p;
}

class GlStandIn : public ::testing::Test {
  protected:
    void SetUp() override
    {
        drawn.clear();
        draws = 0;
        triangles_before = gl_stand_in_triangles();
        draw_calls_before = gl_stand_in_draw_calls();
    }
    long triangles_before = 0, draw_calls_before = 0;
};

} // namespace

extern "C" void webgl_draw_triangles(const float *xy, const unsigned char *rgba, int vertices,
                                     const unsigned short *corners, int triangles)
{
    draws += 1;
    for (int t = 0; t < triangles; t++) {
        triangle each;
        for (int k = 0; k < 3; k++) {
            const int v = corners[3 * t + k];
            ASSERT_LT(v, vertices);
            EXPECT_EQ(rgba[4 * v + 3], 255);
            each[k] = {xy[2 * v], xy[2 * v + 1], rgba[4 * v]};
        }
        drawn.push_back(each);
    }
}

extern "C" void webgl_clear(float, float, float, float) {}

// A full batch is drawn in the middle of a polygon: when the vertices run
// out (4095 quads and a heptagon) and when the triangles do (one polygon of
// 9000 vertices). The polygons' fans go on in the next batch unchanged.
TEST_F(GlStandIn, PolygonsCarryOnAcrossFullBatches)
{
    std::vector<polygon> polygons;
    for (int q = 0; q < 4095; q++)
        polygons.push_back(numbered(q, 4));
    polygons.push_back(numbered(4095, 7));
    polygons.push_back(numbered(4096, 9000));
    polygons.push_back(numbered(4097, 5));
    const std::vector<triangle> fans = draw_and_expect(polygons);
    EXPECT_EQ(draws, 3);
    EXPECT_EQ(drawn.size(), fans.size());
    EXPECT_TRUE(drawn == fans);
    EXPECT_EQ(gl_stand_in_triangles() - triangles_before, static_cast<long>(fans.size()));
    EXPECT_EQ(gl_stand_in_draw_calls() - draw_calls_before, 3);
}

TEST_F(GlStandIn, OnlyPolygonsOfThreeVerticesOrMoreDraw)
{
    glVertex2d(0.0, 0.0); // outside glBegin .. glEnd
    glBegin(GL_LINES);
    for (int k = 0; k < 4; k++)
        glVertex2d(k / 4.0, 0.5);
    glEnd();
    // Two-vertex polygons fill the batch's vertices without a triangle.
    const std::vector<triangle> fans = draw_and_expect(std::vector<polygon>(9000, numbered(0, 2)));
    EXPECT_TRUE(fans.empty());
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(gl_stand_in_draw_calls(), draw_calls_before);
}

// A page's colour scale: each red of green and blue 0 (the viewers' cells)
// drawn in the scale's colour, pictures included; any other colour as it is.
TEST_F(GlStandIn, ARecolouringGivesEachRedItsColourAndNoOtherColour)
{
    unsigned char table[768];
    for (int r = 0; r < 256; r++) {
        table[3 * r] = static_cast<unsigned char>(255 - r);
        table[3 * r + 1] = static_cast<unsigned char>(r);
        table[3 * r + 2] = 7;
    }
    const double colours[][3] = {{0.5, 0, 0}, {0, 0, 0}, {1, 1, 1}, {1, 0, 0.5}};
    const unsigned char expected[][3] = {
        {127, 128, 7}, {255, 0, 7}, {255, 255, 255}, {255, 0, 128}};
    for (bool recoloured : {true, false}) {
        gl_stand_in_recolour(recoloured ? table : nullptr);
        unsigned char rgb[4][3];
        gl_stand_in_capture(&rgb[0][0], 4);
        for (const auto &c : colours) {
            glBegin(GL_POLYGON);
            glColor3d(c[0], c[1], c[2]);
            for (int k = 0; k < 4; k++)
                glVertex2d(k / 4.0, 0.5);
            glEnd();
        }
        EXPECT_EQ(gl_stand_in_captured(), 4);
        for (int p = 0; p < 4; p++)
            for (int k = 0; k < 3; k++) {
                const int plain = static_cast<int>(std::lround(255 * colours[p][k]));
                EXPECT_EQ(rgb[p][k], recoloured ? expected[p][k] : plain) << p << ", " << k;
            }
    }
    EXPECT_EQ(draws, 0) << "a capture draws nothing";
}
