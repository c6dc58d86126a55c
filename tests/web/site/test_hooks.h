// SPDX-License-Identifier: MIT
// What the test site's pages export besides the hosted pages' own exports
// (page_exports.h), for the browser tests and benchmarks. Each function is
// callable from JavaScript as Module._name. Pointers are byte offsets into
// the module's memory (HEAPF64 / HEAP32 views).
//
// Both pages:
//   web_press(button, count)
//                         count presses of button (0 left, 2 right) on the
//                         grid, as the page runs the viewer's mouse callback:
//                         each step recorded as a press's would be
//   web_record_fill(count)
//                         appends count copies of the latest row to the
//                         record, each numbered as the next step, for the
//                         record's thinning and memory; returns the module's
//                         memory in bytes
//   web_frames()          frames drawn so far (glFlush calls that drew)
//   web_triangles()       triangles handed to WebGL so far
//   web_time_draw(count)  redraws count times, finishing each; mean ms per frame
// fieldgrid:
//   web_field_run(seed, first_steps, new_alpha, more_steps)
//                         scripted_field_run, then a redraw; returns field_re
//   web_field()           field_re (4096 doubles)
//   web_step_count()      steps taken so far
//   web_alpha()           the live alpha
//   web_time_steps(count) count steps; mean microseconds per step
// spingrid:
//   web_spin_run(seed, sweeps, T)
//                         scripted_spin_run, then a redraw; returns spins
//   web_spins()           spins (50 x 50 ints, row stride 50)
//   web_temperature()     the live temperature
//   web_time_sweeps(count, T)
//                         count sweeps at T; mean microseconds per sweep
#pragma once

// Redraws count times through display, each frame made and handed to the
// page's drawing (which draws beside the page); returns the mean
// milliseconds per frame.
double time_frames(int count, void (*display)());
