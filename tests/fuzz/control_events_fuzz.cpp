// SPDX-License-Identifier: MIT
// Any sequence of the events the control window takes from GLUT: key down
// and up, special keys, modifier states, mouse buttons, motion, the wheel,
// entry and leave. The layer's own GLUT callbacks get them, through the GLUT
// stand-in of tests/support/glut_fake.h (so no screen is needed), and its
// ImGui frames run as the display callback would run them, minus the
// drawing. After every frame the live value is within its limits, and once
// an event has been taken, the modifier state ImGui's widgets see is the one
// that event carried (for Shift, Ctrl and Alt keys themselves, the state
// after the key; for motion and entry, which carry none, the one before).
#include "glui/glui.h"
#include "tests/support/control_tables.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/glut_fake.h"

#include "imgui.h"
#include <GL/freeglut.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

int live_int = 1;
float live_float = 1.5f;
bool is_int = true;

void fail(const char *why)
{
    std::fprintf(stderr, "control_events_fuzz: %s\n", why);
    std::abort();
}

void frame()
{
    ImGui::SetCurrentContext(window_backends[0].context);
    apply_queued_input(0);
    ImGui::GetIO().DeltaTime = 1.0f / 60.0f;
    ImGui::NewFrame();
    build_control_frame(0);
    ImGui::Render();
    double v = is_int ? live_int : live_float;
    if (!std::isfinite(v) || v < 1.0 || v > 4.0)
        fail("the live value left 1 .. 4");
}

int modifier_bit_of(int special_key)
{
    switch (special_key) {
    case GLUT_KEY_SHIFT_L:
    case GLUT_KEY_SHIFT_R:
        return GLUT_ACTIVE_SHIFT;
    case GLUT_KEY_CTRL_L:
    case GLUT_KEY_CTRL_R:
        return GLUT_ACTIVE_CTRL;
    case GLUT_KEY_ALT_L:
    case GLUT_KEY_ALT_R:
        return GLUT_ACTIVE_ALT;
    default:
        return 0;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    clear_record();
    clear_control_tables();
    held_step_spinner = -1;
    live_int = 1;
    live_float = 1.5f;
    glut_fake.modifiers = 0;
    is_int = in.ConsumeBool();
    // The viewers' own calls.
    GLUI *glui = GLUI_Master.create_glui(is_int ? "Temperature" : "alpha", 0, 475, 100);
    glui->set_main_gfx_window(1);
    GLUI_Spinner *spinner = is_int
                                ? glui->add_spinner("Temperature", GLUI_SPINNER_INT, &live_int, -1)
                                : glui->add_spinner("alpha", GLUI_SPINNER_FLOAT, &live_float, -1);
    spinner->set_int_limits(1, 4, GLUI_LIMIT_CLAMP);
    frame();
    frame();
    const spinner_backend &row = spinner_backends[spinner->slot];

    int carried = 0; // the modifier state of the last event that carried one
    for (int event = 0; event < 64 && in.remaining_bytes() > 0; event++) {
        // Positions mostly on the widgets the last frame drew.
        const float xs[] = {row.field_x, row.minus_x, row.plus_x, 2.0f};
        int x = in.ConsumeBool() ? int(xs[in.ConsumeIntegralInRange(0, 3)])
                                 : in.ConsumeIntegralInRange(-50, 450);
        int y = in.ConsumeBool() ? int(row.row_y) : in.ConsumeIntegralInRange(-50, 200);
        glut_fake.modifiers = in.ConsumeIntegralInRange(0, 7);
        glut_fake.current_window = in.ConsumeIntegralInRange(0, 15) == 0 ? 1 : glut_fake_window;
        const bool ours = glut_fake.current_window == glut_fake_window;
        bool queued = false;
        int mods = glut_fake.modifiers;
        switch (in.ConsumeIntegralInRange(0, 8)) {
        case 0:
        case 1: {
            // Characters: mostly what a field takes, sometimes any byte.
            const char common[] = "0123456789.-+eE \x08\x09\x0d\x1b\x7f\x01\x03\x16\x18\x1a";
            unsigned char c = in.ConsumeBool()
                                  ? common[in.ConsumeIntegralInRange<size_t>(0, sizeof common - 2)]
                                  : in.ConsumeIntegral<unsigned char>();
            bool down = in.ConsumeBool();
            (down ? glut_fake.key : glut_fake.key_up)(c, x, y);
            queued = true;
            break;
        }
        case 2: {
            int key =
                in.ConsumeBool() ? in.ConsumeIntegralInRange(100, 0x75) : in.ConsumeIntegral<int>();
            bool down = in.ConsumeBool();
            (down ? glut_fake.special : glut_fake.special_up)(key, x, y);
            int bit = modifier_bit_of(key);
            mods = down ? glut_fake.modifiers | bit : glut_fake.modifiers & ~bit;
            queued = true;
            break;
        }
        case 3: {
            int button =
                in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 4) : in.ConsumeIntegral<int>();
            glut_fake.mouse(button, in.ConsumeIntegralInRange(0, 1), x, y);
            queued = button >= 0 && button <= 2;
            break;
        }
        case 4:
            (in.ConsumeBool() ? glut_fake.motion : glut_fake.passive_motion)(x, y);
            mods = -1;
            queued = true;
            break;
        case 5: {
            int wheel = in.ConsumeIntegralInRange(0, 1), dir = in.ConsumeIntegralInRange(-2, 2);
            glut_fake.wheel(wheel, dir, x, y);
            queued = wheel == 0 && dir != 0;
            break;
        }
        case 6: {
            int state = in.ConsumeIntegralInRange(0, 1);
            glut_fake.entry(state);
            mods = -1;
            queued = state == GLUT_LEFT;
            break;
        }
        default:
            // A frame with nothing new: time passes between events.
            frame();
            break;
        }
        if (queued && ours && mods >= 0)
            carried = mods;
        // Most events are taken at once; some wait, to pile up between frames.
        if (in.ConsumeIntegralInRange(0, 3) != 0) {
            for (int k = 0; k < 300 && input_pending(0); k++)
                frame();
            frame();
            const ImGuiIO &io = ImGui::GetIO();
            if (io.KeyShift != ((carried & GLUT_ACTIVE_SHIFT) != 0) ||
                io.KeyCtrl != ((carried & GLUT_ACTIVE_CTRL) != 0) ||
                io.KeyAlt != ((carried & GLUT_ACTIVE_ALT) != 0))
                fail("the widgets see another modifier state than the last event carried");
        }
    }
    return 0;
}
