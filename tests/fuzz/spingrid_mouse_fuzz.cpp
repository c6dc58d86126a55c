// SPDX-License-Identifier: MIT
// Any sequence of button, state and position for spingrid's on_mouse, at any
// temperature the spinner allows, against the recording GL and GLUT
// stand-in. Only a left press registers timers (100, 100 ms apart, each
// carrying the temperature); only a right press sweeps, exactly once, at the
// temperature, and asks for one redraw of the grid; anything else changes
// nothing.
#include "spingrid/lattice.h"
#include "spingrid/viewer.h"
#include "tests/support/gl_recorder.h"

#include <GL/freeglut.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void fail(const char *why, int button, int state)
{
    std::fprintf(stderr, "spingrid_mouse_fuzz: button %d, state %d: %s\n", button, state, why);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    srand(1);
    randomize_spins();
    main_window = 1;
    static int before[50][50], one_sweep[50][50];
    for (int event = 0; event < 32 && in.remaining_bytes() > 0; event++) {
        temperature = in.ConsumeIntegralInRange(1, 4);
        int button = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 4) : in.ConsumeIntegral<int>();
        int state = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 1) : in.ConsumeIntegral<int>();
        int x = in.ConsumeIntegral<int>(), y = in.ConsumeIntegral<int>();
        unsigned seed = in.ConsumeIntegral<unsigned>();
        clear_record();
        std::memcpy(before, spins, sizeof before);
        // What exactly one sweep from here at this temperature gives.
        srand(seed);
        metropolis_sweep(temperature);
        std::memcpy(one_sweep, spins, sizeof one_sweep);
        std::memcpy(spins, before, sizeof spins);
        srand(seed);
        on_mouse(button, state, x, y);

        bool left = button == GLUT_LEFT_BUTTON && state == GLUT_DOWN;
        bool right = button == GLUT_RIGHT_BUTTON && state == GLUT_DOWN;
        if (left) {
            if (recorded.timers.size() != 100)
                fail("a left press did not register 100 timers", button, state);
            for (int k = 0; k < 100; k++)
                if (recorded.timers[k].delay_ms != 100u * (k + 1) ||
                    recorded.timers[k].callback != timer_sweep ||
                    recorded.timers[k].value != temperature)
                    fail("a burst timer is not a sweep at the temperature k x 100 ms on", button,
                         state);
        } else if (!recorded.timers.empty()) {
            fail("timers from something other than a left press", button, state);
        }
        if (std::memcmp(spins, right ? one_sweep : before, sizeof before) != 0)
            fail(right ? "a right press did not sweep exactly once" : "the lattice changed", button,
                 state);
        if (recorded.redisplays.size() != (right ? 1u : 0u) ||
            (right && recorded.redisplays[0] != main_window))
            fail("not one redraw of the grid per right press, none otherwise", button, state);
    }
    return 0;
}
