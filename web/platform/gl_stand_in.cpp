// SPDX-License-Identifier: MIT
#include "web/platform/gl_stand_in.h"

#include "web/platform/webgl_calls.h"

#include <cmath>

// Room for one 64 x 64 frame of quads, four vertices and two triangles each.
// Every vertex is stored once and the triangles name theirs by index, so a
// quad hands WebGL four vertices rather than six.
constexpr int batch_vertices = 4 * 4096;
constexpr int batch_triangles = 2 * 4096;

static float batch_xy[2 * batch_vertices];
static unsigned char batch_rgba[4 * batch_vertices];
static unsigned short batch_corners[3 * batch_triangles];
static int vertex_count = 0;
static int triangle_count = 0;

static long triangles_drawn = 0;
static long draw_calls = 0;

static unsigned char current_rgba[4] = {255, 255, 255, 255};

static float clear_rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// The polygon being built: the batch slots of its first and latest vertex,
// which start each triangle of the fan, and those two vertices themselves,
// which start the next batch when one fills in the middle of the polygon;
// -1 outside glBegin(GL_POLYGON) .. glEnd().
static int polygon_vertices = -1;
static int first_slot = 0;
static int last_slot = 0;
static float first_xy[2];
static unsigned char first_rgba[4];
static float last_xy[2];
static unsigned char last_rgba[4];

// Where a capture puts each polygon's colour; null when not capturing.
static unsigned char *capture_rgb = nullptr;
static int capture_max = 0;
static int captured = 0;

static void draw_pending()
{
    if (triangle_count > 0) {
        webgl_draw_triangles(batch_xy, batch_rgba, vertex_count, batch_corners, triangle_count);
        triangles_drawn += triangle_count;
        draw_calls += 1;
    }
    vertex_count = 0;
    triangle_count = 0;
}

static int put_vertex(const float *xy, const unsigned char *rgba)
{
    int slot = vertex_count++;
    float *p = &batch_xy[2 * slot];
    p[0] = xy[0];
    p[1] = xy[1];
    unsigned char *c = &batch_rgba[4 * slot];
    for (int k = 0; k < 4; k++)
        c[k] = rgba[k];
    return slot;
}

static unsigned char colour_byte(double c)
{
    if (!(c > 0.0)) // NaN as well
        return 0;
    if (c >= 1.0)
        return 255;
    return static_cast<unsigned char>(std::lround(255.0 * c));
}

long gl_stand_in_triangles()
{
    return triangles_drawn;
}

long gl_stand_in_draw_calls()
{
    return draw_calls;
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    clear_rgba[0] = red;
    clear_rgba[1] = green;
    clear_rgba[2] = blue;
    clear_rgba[3] = alpha;
}

void gl_stand_in_capture(unsigned char *rgb, int max_polygons)
{
    draw_pending();
    capture_rgb = rgb;
    capture_max = max_polygons;
    captured = 0;
}

int gl_stand_in_captured()
{
    capture_rgb = nullptr;
    return captured;
}

void glClear(GLbitfield mask)
{
    if (capture_rgb)
        return;
    draw_pending();
    if (mask & GL_COLOR_BUFFER_BIT)
        webgl_clear(clear_rgba[0], clear_rgba[1], clear_rgba[2], clear_rgba[3]);
}

void glBegin(GLenum mode)
{
    polygon_vertices = mode == GL_POLYGON ? 0 : -1;
}

static const unsigned char *recolour = nullptr;

void gl_stand_in_recolour(const unsigned char *rgb)
{
    recolour = rgb;
}

void glColor3d(GLdouble red, GLdouble green, GLdouble blue)
{
    current_rgba[0] = colour_byte(red);
    current_rgba[1] = colour_byte(green);
    current_rgba[2] = colour_byte(blue);
    current_rgba[3] = 255;
    // The viewers' cells are reds on black: a scale gives each red a colour.
    if (recolour && current_rgba[1] == 0 && current_rgba[2] == 0) {
        const unsigned char *c = recolour + 3 * current_rgba[0];
        for (int k = 0; k < 3; k++)
            current_rgba[k] = c[k];
    }
}

void glVertex2d(GLdouble x, GLdouble y)
{
    if (polygon_vertices < 0)
        return;
    if (capture_rgb) {
        if (polygon_vertices++ == 0 && captured++ < capture_max)
            for (int k = 0; k < 3; k++)
                capture_rgb[3 * (captured - 1) + k] = current_rgba[k];
        return;
    }
    float xy[2] = {static_cast<float>(x), static_cast<float>(y)};
    bool closes_triangle = polygon_vertices >= 2;
    if (vertex_count == batch_vertices || (closes_triangle && triangle_count == batch_triangles)) {
        draw_pending();
        if (polygon_vertices >= 1)
            first_slot = last_slot = put_vertex(first_xy, first_rgba);
        if (polygon_vertices >= 2)
            last_slot = put_vertex(last_xy, last_rgba);
    }
    int slot = put_vertex(xy, current_rgba);
    if (closes_triangle) {
        unsigned short *corners = &batch_corners[3 * triangle_count];
        corners[0] = static_cast<unsigned short>(first_slot);
        corners[1] = static_cast<unsigned short>(last_slot);
        corners[2] = static_cast<unsigned short>(slot);
        triangle_count += 1;
    } else if (polygon_vertices == 0) {
        first_slot = slot;
        first_xy[0] = xy[0];
        first_xy[1] = xy[1];
        for (int k = 0; k < 4; k++)
            first_rgba[k] = current_rgba[k];
    }
    last_slot = slot;
    last_xy[0] = xy[0];
    last_xy[1] = xy[1];
    for (int k = 0; k < 4; k++)
        last_rgba[k] = current_rgba[k];
    polygon_vertices += 1;
}

void glEnd()
{
    polygon_vertices = -1;
}

void glFlush()
{
    if (capture_rgb)
        return;
    draw_pending();
}
