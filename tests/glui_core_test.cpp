// SPDX-License-Identifier: MIT
// The shared field rules every backend forwards its events to: leaving the
// field and stepping from it, with or without an edit, straight on the tables.
#include "glui/glui.h"
#include "tests/support/control_tables.h"

#include <gtest/gtest.h>

namespace {

int redisplays = 0;

void count_redisplay(int)
{
    redisplays++;
}

struct field_case {
    const char *text; // what the field holds
    bool edited;      // whether the user changed it
    int steps;        // 0: the field is left; else stepped from inside it
    float alpha;      // the live value afterwards, from 1.5
    int writes;       // redisplay requests
};

TEST(SpinnerField, LeavingCommitsOnlyAnEditAndSteppingCommitsItFirst)
{
    const field_case cases[] = {
        {"2.5", true, 0, 2.5f, 1}, {"2.5", false, 0, 1.5f, 0},  {"abc", true, 0, 1.5f, 0},
        {"9", true, 0, 4.0f, 1},   {"2", true, +1, 2.1f, 2},    {"2", false, +1, 1.6f, 1},
        {"x", true, +1, 1.6f, 1},  {"1.5", false, -3, 1.2f, 3}, {"1.5", true, 0, 1.5f, 1},
    };
    for (const field_case &c : cases) {
        clear_control_tables();
        request_main_redisplay = count_redisplay;
        float alpha = 1.5f;
        int w = add_control_window_row();
        glui_windows[w].handle.set_main_gfx_window(3);
        GLUI_Spinner *s = glui_windows[w].handle.add_spinner("alpha", GLUI_SPINNER_FLOAT, &alpha);
        s->set_float_limits(1, 4);
        redisplays = 0;
        commit_spinner_field(s->slot, c.text, c.edited, c.steps);
        EXPECT_EQ(alpha, c.alpha) << c.text << " " << c.edited << " " << c.steps;
        EXPECT_EQ(redisplays, c.writes) << c.text << " " << c.edited << " " << c.steps;
    }
    clear_control_tables();
}

TEST(SpinnerField, ShownTextFollowsTheLiveVariableWhoeverWroteIt)
{
    clear_control_tables();
    int temperature = 2;
    int w = add_control_window_row();
    GLUI_Spinner *s = glui_windows[w].handle.add_spinner("T", GLUI_SPINNER_INT, &temperature);
    EXPECT_STREQ(glui_spinners[s->slot].shown, "2");
    step_spinner(s->slot, +2);
    EXPECT_STREQ(glui_spinners[s->slot].shown, "4");
    temperature = 7;
    EXPECT_STREQ(shown_spinner_text(s->slot), "7");
    clear_control_tables();
}

} // namespace
