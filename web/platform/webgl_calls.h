// SPDX-License-Identifier: MIT
// Private to the OpenGL stand-in: the calls webgl_calls.js defines, by
// which the stand-in hands its frames to the page's drawing; kept apart
// because the WebGL headers and <GL/gl.h> declare the same names
// differently. The calls of one task make one frame.
#pragma once

extern "C" {
// Draws indexed triangles: xy holds 2 * vertices floats (x, y per
// vertex, in normalised device coordinates), rgba 4 * vertices bytes (0..255
// per component), corners 3 * triangles vertex numbers below vertices.
void webgl_draw_triangles(const float *xy, const unsigned char *rgba, int vertices,
                          const unsigned short *corners, int triangles);
// Fills the whole canvas with the colour (each component 0..1).
void webgl_clear(float red, float green, float blue, float alpha);
}
