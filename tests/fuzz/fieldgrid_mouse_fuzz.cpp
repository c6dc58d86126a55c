// SPDX-License-Identifier: MIT
// Any sequence of button, state and position for fieldgrid's on_mouse, run
// against the recording GL and GLUT stand-in. Only a left press registers
// timers (500, 100 ms apart, each a step); only a right press steps, once;
// anything else leaves the field, the timers and the step count alone.
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "fieldgrid/viewer.h"
#include "tests/support/gl_recorder.h"

#include <GL/freeglut.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void fail(const char *why, int button, int state)
{
    std::fprintf(stderr, "fieldgrid_mouse_fuzz: button %d, state %d: %s\n", button, state, why);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    srand(1);
    randomize_field();
    grid_to_field(field_re);
    step_count = 0;
    alpha = 1.5f;
    main_window = 1;
    static double before[64][64];
    for (int event = 0; event < 32 && in.remaining_bytes() > 0; event++) {
        // Mostly GLUT's own values, so that presses come often enough.
        int button = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 4) : in.ConsumeIntegral<int>();
        int state = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 1) : in.ConsumeIntegral<int>();
        int x = in.ConsumeIntegral<int>(), y = in.ConsumeIntegral<int>();
        clear_record();
        std::memcpy(before, display_grid, sizeof before);
        int steps_before = step_count;
        on_mouse(button, state, x, y);

        bool left = button == GLUT_LEFT_BUTTON && state == GLUT_DOWN;
        bool right = button == GLUT_RIGHT_BUTTON && state == GLUT_DOWN;
        if (left) {
            if (recorded.timers.size() != 500)
                fail("a left press did not register 500 timers", button, state);
            for (int k = 0; k < 500; k++)
                if (recorded.timers[k].delay_ms != 100u * (k + 1) ||
                    recorded.timers[k].callback != advance_one_step ||
                    recorded.timers[k].value != 0)
                    fail("a burst timer is not a step k x 100 ms after the press", button, state);
        } else if (!recorded.timers.empty()) {
            fail("timers from something other than a left press", button, state);
        }
        if (step_count != steps_before + (right ? 1 : 0))
            fail(right ? "a right press did not step exactly once" : "a step without a right press",
                 button, state);
        if (!right && std::memcmp(before, display_grid, sizeof before) != 0)
            fail("the field changed without a step", button, state);
        if (recorded.clears != 0 || !recorded.polygons.empty())
            fail("the mouse callback drew", button, state);
    }
    return 0;
}
