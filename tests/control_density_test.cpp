// SPDX-License-Identifier: MIT
// The control windows of both real programs on a screen whose X resources,
// set with xrdb on the test's display, ask for another density (Xft.dpi).
#include <gtest/gtest.h>

#include "tests/support/x11_harness.h"

#include <cstdio>
#include <string>

namespace {

// Runs xrdb with args, input on its standard input and its output in *output.
bool xrdb(const std::string &args, const std::string &input = "", std::string *output = nullptr)
{
    std::FILE *pipe = popen(("xrdb -nocpp " + args).c_str(), output ? "r" : "w");
    if (pipe == nullptr)
        return false;
    char chunk[256];
    while (output && std::fgets(chunk, sizeof chunk, pipe))
        *output += chunk;
    if (!output)
        std::fputs(input.c_str(), pipe);
    return pclose(pipe) == 0;
}

bool set_resources(const std::string &text)
{
    return text.empty() ? xrdb("-remove") : xrdb("-load -", text);
}

class ControlDensity : public ::testing::Test {
  protected:
    // The display stays open throughout: the server drops its resources
    // when its last client leaves.
    void SetUp() override
    {
        std::string why;
        display = open_test_display(&why);
        ASSERT_NE(display, nullptr) << why;
        ASSERT_TRUE(xrdb("-query", "", &saved));
    }

    void TearDown() override
    {
        if (display != nullptr) {
            EXPECT_TRUE(set_resources(saved));
            XCloseDisplay(display);
        }
    }

    // Starts program under resources and measures its control window, once
    // fitted to the spinner, into *size and its field and buttons into b[3].
    void measure(const char *program, const char *title, const std::string &resources,
                 window_info *size, box b[3])
    {
        ASSERT_TRUE(set_resources(resources));
        ASSERT_TRUE(wait_until([&] { return find_window(display, title, 0) == 0; }, 5000))
            << "a window titled " << title << " is already open";
        pid_t pid = start_program(program);
        Window w = wait_for_window(display, title, pid, 10000);
        // The padding around the spinner is the same on every side.
        bool fitted = w != 0 && find_spinner(display, w, &b[0], &b[1], &b[2]) &&
                      wait_until(
                          [&] {
                              return get_window_info(display, w, size) &&
                                     size->width == b[2].x + b[2].width + b[0].y &&
                                     size->height == 2 * b[0].y + b[0].height;
                          },
                          5000);
        stop_program(pid);
        ASSERT_TRUE(fitted) << title << " under \"" << resources << "\": not fitted to a spinner";
    }

    Display *display = nullptr;
    std::string saved;
};

TEST_F(ControlDensity, ControlWindowsFollowXftDpi)
{
    struct {
        const char *path, *title;
        int width; // at the normal density
    } programs[] = {{SPINGRID_PATH, "Temperature", 225}, {FIELDGRID_PATH, "alpha", 183}};
    for (const auto &program : programs) {
        window_info size, twice;
        box boxes[3], twice_boxes[3];
        for (const char *normal : {"", "Xft.dpi: -192\n", "Xft.dpi: auto\n", "Xft.dpi: 96\n"}) {
            measure(program.path, program.title, normal, &size, boxes);
            EXPECT_EQ(size.width, program.width) << program.title << " under " << normal;
            EXPECT_EQ(size.height, 35) << program.title << " under " << normal;
        }
        measure(program.path, program.title, "Xft.dpi: 192\n", &twice, twice_boxes);
        EXPECT_EQ(twice.height, 2 * size.height) << program.title;
        // The label's font differs at 192, and so its width a little.
        EXPECT_NEAR(twice.width, 2 * size.width, 0.05 * size.width) << program.title;
        for (int k = 0; k < 3; k++) {
            EXPECT_EQ(twice_boxes[k].width, 2 * boxes[k].width) << program.title << " box " << k;
            EXPECT_EQ(twice_boxes[k].height, 2 * boxes[k].height) << program.title << " box " << k;
        }
    }
}

} // namespace
