// SPDX-License-Identifier: MIT
// The colour scales a page can draw its grid in. The viewers draw a cell of
// value v in red (v + 1) / 2 on black: colour_scales[0], the design's own.
// The others give each of those 256 reds a colour of their own, for eyes
// that tell black from red poorly (about one man in twelve sees full red as
// a dark olive); the stand-in for OpenGL draws with the chosen one
// (gl_stand_in_recolour), so the viewers and the model are untouched.
#pragma once

struct colour_scale {
    const char *name;  // how the page and the browser's memory know it
    const char *label; // what the page's choice shows
    // The colours' names at -1, 0 and +1, for words such as "cells red".
    const char *low, *middle, *high;
};

extern const colour_scale colour_scales[];
extern const int colour_scale_count;

// The 256 colours of scale (0 .. colour_scale_count - 1), red, green, blue
// bytes for each red byte 0 .. 255 that the viewers draw, into rgb (768
// bytes). The design's scale gives (r, 0, 0).
void colour_scale_table(int scale, unsigned char *rgb);
