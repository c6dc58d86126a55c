// SPDX-License-Identifier: MIT
// Private to the OpenGL stand-in: the WebGL side, kept apart because the
// WebGL headers and <GL/gl.h> declare the same names differently.
#pragma once

// Draws indexed triangles: xy holds 2 * vertices floats (x, y per
// vertex, in normalised device coordinates), rgba 4 * vertices bytes (0..255
// per component), corners 3 * triangles vertex numbers below vertices. Sets
// up the shaders and buffers on the first call into WebGL, and checks them
// on the first draw.
void webgl_draw_triangles(const float *xy, const unsigned char *rgba, int vertices,
                          const unsigned short *corners, int triangles);

// Sets the viewport to the whole drawing buffer of the current context.
void webgl_fit_viewport();

// glClearColor and glClear of the current WebGL context.
void webgl_clear_color(float r, float g, float b, float a);
void webgl_clear(unsigned int mask);

// Whether the browser has taken the current context away (a GPU reset, a
// driver update, memory reclaimed). Every call on it does nothing then.
bool webgl_context_lost();

// The context came back empty: the shaders and buffers are made anew on the
// next draw.
void webgl_forget_objects();
