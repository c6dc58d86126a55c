// SPDX-License-Identifier: MIT
// Finds the spinner of a control window on the screen, for tests that click
// and type into it through XTest.
#pragma once

#include "tests/spinner_layout.h"
#include "tests/x11_harness.h"

#include <functional>

// Waits up to 5 s for the control window w to show a spinner and sets its
// text field and its - and + buttons, in w's coordinates. The pointer is
// moved over w meanwhile: focus follows it, and the window draws its widgets
// only once it has events. pump runs between polls (glutMainLoopEvent for a
// program in the test process).
bool find_spinner(Display *d, Window w, box *field, box *minus, box *plus,
                  const std::function<void()> &pump = {});
