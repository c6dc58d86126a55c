// SPDX-License-Identifier: MIT
// GLUT's one-shot timers on the browser's own (glutTimerFunc is defined
// here, in place of Emscripten's), counted, so that the page can tell whether
// a burst is running, and each run through a hook, so that the page can see
// what its callback did.
#pragma once

// Timers set and not yet fired.
int glut_timers_pending();

// Runs a timer's callback with its value when the timer falls due. The
// callback itself by default; must not be null.
extern void (*glut_timer_runner)(void (*callback)(int), int value);

// Called as each timer is set, after it counts as pending; nothing by
// default, and must not be null.
extern void (*glut_timer_set)();
