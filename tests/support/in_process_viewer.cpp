// SPDX-License-Identifier: MIT
#include "tests/support/in_process_viewer.h"

#include <GL/freeglut.h>

void InProcessViewer::start_viewer(void (*start)(int *, char **), const char *title,
                                   const char *control_title)
{
    static bool started = false;
    if (started)
        GTEST_SKIP() << "GLUT starts once per process; run one case per process, as ctest does";
    std::string why;
    display = open_test_display(&why);
    // Checked before glutInit, which would end the process on its own.
    ASSERT_NE(display, nullptr) << why;
    started = true;
    static std::string program;
    program = title;
    static char *argv[] = {&program[0], nullptr};
    int argc = 1;
    start(&argc, argv);
    grid = wait_for_window(display, title, 0, 10000, pump);
    ASSERT_NE(grid, 0u) << "no grid window";
    controls = wait_for_window(display, control_title, 0, 10000, pump);
    ASSERT_NE(controls, 0u) << "no control window titled " << control_title;
    ASSERT_TRUE(find_spinner(display, controls, &field, &minus, &plus, pump))
        << "the control window shows no text field and step buttons";
}

void InProcessViewer::TearDown()
{
    if (display != nullptr)
        XCloseDisplay(display);
}

void InProcessViewer::pump()
{
    glutMainLoopEvent();
}

void InProcessViewer::type_into_field(const std::string &text)
{
    click_box(field);
    ASSERT_TRUE(type_text(display, text, pump));
}

void InProcessViewer::chord(unsigned long modifier, unsigned long key)
{
    ASSERT_TRUE(set_key(display, modifier, true));
    ASSERT_TRUE(tap_key(display, key, pump));
    ASSERT_TRUE(set_key(display, modifier, false));
}

picture InProcessViewer::settled_field()
{
    move_pointer(display, controls, 2, 2);
    auto shot = [&] {
        picture part;
        grab_part(display, controls, field, &part);
        return part;
    };
    picture held;
    wait_until(
        [&] {
            held = shot();
            return stays_true([&] { return same_picture(shot(), held); }, 200, pump);
        },
        3000, pump);
    return held;
}
