// SPDX-License-Identifier: MIT
// The part of OpenGL 1.x that the viewers draw with, on WebGL.
//
// A browser offers WebGL, which has no immediate mode. These definitions of
// the OpenGL entry points collect a frame's polygons into one vertex array
// and draw it with a single call, so the viewers' drawing code compiles and
// runs unchanged. The declarations are <GL/gl.h>'s own; this header only
// says what the definitions do.
//
//   [X] glClearColor(r, g, b, a): the colour glClear fills with
//   [X] glClear(GL_COLOR_BUFFER_BIT): draws what is pending, clears the
//       whole canvas
//   [X] glBegin(GL_POLYGON) ... glEnd(): a convex polygon, drawn as a fan of
//       triangles; fewer than three vertices draw nothing
//   [X] glColor3d(r, g, b): the colour of the vertices that follow, each
//       component clamped to 0..1 and shown as round(255 c); a NaN shows 0;
//       a red of green and blue 0 recoloured as gl_stand_in_recolour says
//   [X] glVertex2d(x, y): a vertex in normalised device coordinates (-1..1)
//   [X] glFlush(): draws what is pending; the frame is shown once the
//       callback returns
//   [ ] every other primitive (vertices between glBegin(other) and glEnd are
//       dropped), matrices, lighting, textures, state queries
//
// A frame may hold any number of polygons: when the array is full its
// contents are drawn and it starts again. The page draws what the stand-in
// hands it (webgl_calls.h); the calls of one task make one frame.
#pragma once

#include <GL/gl.h>

// A frame's colours rather than the frame, for a picture of the grid: from
// gl_stand_in_capture until gl_stand_in_captured, nothing reaches WebGL, and
// the colour of each polygon's first vertex is written to rgb instead, three
// bytes (red, green, blue) per polygon in the order drawn, for at most
// max_polygons polygons. gl_stand_in_captured ends it and returns the number
// of polygons drawn meanwhile (those past max_polygons included).
void gl_stand_in_capture(unsigned char *rgb, int max_polygons);
int gl_stand_in_captured();

// Draws each colour (r, 0, 0), r the red byte, as rgb[3 r .. 3 r + 2]
// instead (rgb: 768 bytes, kept by the caller), or as it is when rgb is
// null, as at start: the page's colour scale. Applies to the colours set
// from now on, captures included; the caller asks for a redraw.
void gl_stand_in_recolour(const unsigned char *rgb);

// How many triangles the stand-in has handed to WebGL since the page
// started, and how many draw calls that took. The tests and benchmarks read
// them to see that a frame is one call.
long gl_stand_in_triangles();
long gl_stand_in_draw_calls();
