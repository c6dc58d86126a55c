// SPDX-License-Identifier: MIT
// What a hosted page's module offers its script besides main, and what it
// tells the script. Each export is callable from JavaScript as Module._name;
// a pointer is a byte offset into the module's memory (Module.HEAPF64).
//
// Both pages:
//   web_redisplay()         asks for a redraw (the page does after a resize)
//   web_context_restored()  the canvas's WebGL context is back after a loss:
//                           sets it up again and redraws the model as it is
//   web_caption_numbers()   where the run stands, from the model's arrays:
//                           a pointer to caption_numbers doubles, filled anew
//                           by each call (the layouts below)
// spingrid's numbers:  sweeps so far, the temperature of the last sweep (0
//                      before the first), cells at +1, cells, magnetisation
//                      per spin (-1 .. 1)
// fieldgrid's numbers: steps so far, simulated time, alpha of the last step
//                      (the live alpha before the first), cells above zero,
//                      cells, the least and the greatest value of the grid
//
// The module calls Module.onStep(), when the page has defined it, after
// every step of the model, and counts the viewers' GLUT timers (the bursts)
// in burst_timers.js.
#pragma once

// The longest layout of web_caption_numbers.
constexpr int caption_numbers = 7;

// Calls Module.onStep() if the page defined it.
void tell_page_of_step();

extern "C" {
void web_redisplay();
void web_context_restored();
double *web_caption_numbers();
}
