// SPDX-License-Identifier: MIT
#include "tests/spinner_boxes.h"

#include <vector>

bool find_spinner(Display *d, Window w, box *field, box *minus, box *plus,
                  const std::function<void()> &pump)
{
    std::vector<box> boxes;
    picture p;
    int moves = 0;
    bool drawn = wait_until(
        [&] {
            move_pointer(d, w, 2 + moves % 2, 2);
            moves++;
            boxes = grab_picture(d, w, &p) ? find_boxes(p, 8) : boxes;
            return boxes.size() >= 3;
        },
        5000, pump);
    return drawn && spinner_of(boxes, field, minus, plus);
}
