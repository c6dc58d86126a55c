// SPDX-License-Identifier: MIT
// How a spinner of the control-window layer looks in a picture of its window:
// a wide text field followed by its narrow - and + buttons, each a solid box
// of one colour. Nothing here talks to an X server.
#pragma once

#include "tests/support/picture.h"

#include <vector>

// Solid boxes in p: connected regions of one colour at least min_side pixels
// on each side that fill at least 3/4 of their bounding rectangle (text drawn
// on a field or button leaves holes) and do not touch p's edges, which keeps
// backgrounds out. Sorted left to right.
std::vector<box> find_boxes(const picture &p, int min_side);

// Takes the spinner from boxes (as find_boxes gives them): the last three,
// when the first of them is more than twice as wide as high and the other
// two less. False, leaving the boxes unset, when there is no such spinner.
bool spinner_of(const std::vector<box> &boxes, box *field, box *minus, box *plus);
