// SPDX-License-Identifier: MIT
// The control window without a window system: GLUI's calls, the spinner
// tables, and whole ImGui frames driven by queued mouse and key input.
#include "glui/glui.h"
#include "tests/support/control_tables.h"

#include "imgui.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const int grid_window = 7;
int redisplay_requests = 0;
int last_redisplayed = 0;

void count_redisplay(int window)
{
    redisplay_requests++;
    last_redisplayed = window;
}

class ControlWindow : public ::testing::Test {
  protected:
    int temperature = 1;
    float alpha = 1.5f;
    int w = -1;
    GLUI *glui = nullptr;

    void SetUp() override
    {
        clear_control_tables();
        held_step_spinner = -1;
        request_main_redisplay = count_redisplay;
        w = add_control_window_row();
        ASSERT_GE(w, 0);
        ImGui::GetIO().DisplaySize = ImVec2(400, 160);
        glui = &glui_windows[w].handle;
        glui->set_main_gfx_window(grid_window);
    }

    void TearDown() override { clear_control_tables(); }

    // The viewer's own calls; returns the spinner's row.
    int add_int_spinner()
    {
        GLUI_Spinner *s = glui->add_spinner("Temperature", GLUI_SPINNER_INT, &temperature, -1);
        s->set_int_limits(1, 4, GLUI_LIMIT_CLAMP);
        redisplay_requests = 0;
        frames(2);
        return s->slot;
    }

    int add_float_spinner()
    {
        GLUI_Spinner *s = glui->add_spinner("alpha", GLUI_SPINNER_FLOAT, &alpha, -1);
        s->set_int_limits(1, 4, GLUI_LIMIT_CLAMP);
        redisplay_requests = 0;
        frames(2);
        return s->slot;
    }

    void frame()
    {
        ImGui::SetCurrentContext(window_backends[w].context);
        apply_queued_input(w);
        ImGui::GetIO().DeltaTime = 1.0f / 60.0f;
        ImGui::NewFrame();
        build_control_frame(w);
        ImGui::Render();
    }

    void frames(int n)
    {
        for (int k = 0; k < n; k++)
            frame();
    }

    // Frames until the queue is empty, then two more, as the display
    // callback's follow-up frames would draw.
    void settle()
    {
        for (int k = 0; k < 1000 && input_pending(w); k++)
            frame();
        frames(2);
    }

    void move(float x, float y)
    {
        queue_input(w, {mouse_move, 0, false, input_mods_unknown, x, y});
    }

    void left_button(bool down, float x, float y)
    {
        queue_input(w, {mouse_button, 0, down, input_mods_unknown, x, y});
    }

    void click(float x, float y)
    {
        move(x, y);
        left_button(true, x, y);
        left_button(false, x, y);
    }

    void key(unsigned char c)
    {
        queue_input(w, {key_char, c, true, 0, 0, 0});
        queue_input(w, {key_char, c, false, 0, 0, 0});
    }

    void type(const char *text)
    {
        for (const char *p = text; *p; p++)
            key(static_cast<unsigned char>(*p));
    }

    // Clicks into the field (which selects its text), types, and ends with
    // the key given: 13 Enter, 9 Tab, 27 Escape, or 0 for none.
    void enter_text(int s, const char *text, unsigned char end = 13)
    {
        click(spinner_backends[s].field_x, spinner_backends[s].row_y);
        settle();
        type(text);
        if (end)
            key(end);
        settle();
    }
};

TEST_F(ControlWindow, SpinnerStartsFromTheLiveValueWhichLimitsInsideLeaveAlone)
{
    int s = add_float_spinner();
    EXPECT_EQ(alpha, 1.5f);
    EXPECT_STREQ(spinner_backends[s].text, "1.5");
    EXPECT_EQ(redisplay_requests, 0);
}

TEST_F(ControlWindow, SettingLimitsBringsAnOutsideLiveValueInAndRedisplays)
{
    temperature = 9;
    GLUI_Spinner *s = glui->add_spinner("Temperature", GLUI_SPINNER_INT, &temperature);
    redisplay_requests = 0;
    s->set_int_limits(1, 4, GLUI_LIMIT_CLAMP);
    EXPECT_EQ(temperature, 4);
    EXPECT_EQ(redisplay_requests, 1);
    EXPECT_EQ(last_redisplayed, grid_window);
}

TEST_F(ControlWindow, TypedValueReachesTheLiveVariableOnlyWhenCommitted)
{
    int s = add_int_spinner();
    enter_text(s, "3", 0);
    frames(5);
    EXPECT_EQ(temperature, 1) << "half-typed text must not reach the model";
    EXPECT_EQ(redisplay_requests, 0);
    key(13);
    settle();
    EXPECT_EQ(temperature, 3);
    EXPECT_STREQ(spinner_backends[s].text, "3");
    EXPECT_EQ(redisplay_requests, 1);
    EXPECT_EQ(last_redisplayed, grid_window);
}

TEST_F(ControlWindow, TabAndAClickElsewhereCommitLikeEnter)
{
    int s = add_int_spinner();
    enter_text(s, "2", 9);
    EXPECT_EQ(temperature, 2);
    EXPECT_FALSE(spinner_backends[s].editing);

    enter_text(s, "3", 0);
    click(2, 2); // the label's side of the window, away from every widget
    settle();
    EXPECT_EQ(temperature, 3);
    EXPECT_FALSE(spinner_backends[s].editing);
    EXPECT_EQ(redisplay_requests, 2);
}

TEST_F(ControlWindow, EscapeRestoresTheShownValueAndWritesNothing)
{
    int s = add_int_spinner();
    enter_text(s, "3", 27);
    EXPECT_EQ(temperature, 1);
    EXPECT_STREQ(spinner_backends[s].text, "1");
    EXPECT_EQ(redisplay_requests, 0);
}

TEST_F(ControlWindow, VisitingTheFieldWithoutEditingWritesNothing)
{
    int s = add_int_spinner();
    enter_text(s, "", 13);
    enter_text(s, "", 9);
    enter_text(s, "", 0);
    click(2, 2);
    settle();
    EXPECT_EQ(temperature, 1);
    EXPECT_EQ(redisplay_requests, 0);
}

TEST_F(ControlWindow, CommittedValuesAreClampedAndTheFieldShowsWhatWasStored)
{
    int s = add_int_spinner();
    struct {
        const char *typed;
        int stored;
    } cases[] = {{"9", 4}, {"-3", 1}, {"1e30", 4}, {"99999999999", 4}, {"2", 2}};
    for (const auto &c : cases) {
        enter_text(s, c.typed);
        EXPECT_EQ(temperature, c.stored) << c.typed;
        EXPECT_EQ(std::string(spinner_backends[s].text), std::to_string(c.stored)) << c.typed;
    }
    EXPECT_EQ(redisplay_requests, 5);
}

TEST_F(ControlWindow, BadInputIsRefusedAndTheOldValueShownAgain)
{
    int s = add_int_spinner();
    temperature = 2;
    frames(1);
    const char *bad[] = {"abc", "1..2", "3x", "nan", "inf", "-inf", "2.5", ""};
    for (const char *text : bad) {
        if (*text == '\0') {
            // An emptied field: select all (the click did), then delete it.
            click(spinner_backends[s].field_x, spinner_backends[s].row_y);
            settle();
            key(8);
            key(13);
            settle();
        } else {
            enter_text(s, text);
        }
        EXPECT_EQ(temperature, 2) << '"' << text << '"';
        EXPECT_STREQ(spinner_backends[s].text, "2") << '"' << text << '"';
    }
    EXPECT_EQ(redisplay_requests, 0);
}

TEST_F(ControlWindow, FloatSpinnerClampsToOneThroughFourAndRefusesBadInput)
{
    int s = add_float_spinner();
    enter_text(s, "7");
    EXPECT_EQ(alpha, 4.0f);
    EXPECT_STREQ(spinner_backends[s].text, "4");
    enter_text(s, "0.2");
    EXPECT_EQ(alpha, 1.0f);
    enter_text(s, "2.25");
    EXPECT_EQ(alpha, 2.25f);
    EXPECT_STREQ(spinner_backends[s].text, "2.25");
    for (const char *text : {"abc", "1..2", "3x", "nan", "inf"}) {
        enter_text(s, text);
        EXPECT_EQ(alpha, 2.25f) << text;
        EXPECT_STREQ(spinner_backends[s].text, "2.25") << text;
    }
    EXPECT_EQ(redisplay_requests, 3);
}

TEST_F(ControlWindow, EditsTypedBetweenTwoFramesApplyInOrder)
{
    int s = add_int_spinner();
    click(spinner_backends[s].field_x, spinner_backends[s].row_y);
    type("4");
    key(8); // Backspace
    type("3");
    key(13);
    settle();
    EXPECT_EQ(temperature, 3);
}

TEST_F(ControlWindow, QuickClickOnAStepButtonBetweenTwoFramesStillSteps)
{
    int s = add_int_spinner();
    click(spinner_backends[s].plus_x, spinner_backends[s].row_y);
    settle();
    EXPECT_EQ(temperature, 2);
    EXPECT_STREQ(spinner_backends[s].text, "2");
    click(spinner_backends[s].plus_x, spinner_backends[s].row_y);
    click(spinner_backends[s].plus_x, spinner_backends[s].row_y);
    settle();
    EXPECT_EQ(temperature, 4);
    click(spinner_backends[s].plus_x, spinner_backends[s].row_y);
    settle();
    EXPECT_EQ(temperature, 4) << "stepping clamps at the upper limit";
    click(spinner_backends[s].minus_x, spinner_backends[s].row_y);
    settle();
    EXPECT_EQ(temperature, 3);
    EXPECT_EQ(redisplay_requests, 5);
    EXPECT_EQ(held_step_spinner, -1);
}

TEST_F(ControlWindow, StepButtonIsHeldFromPressToRelease)
{
    int s = add_float_spinner();
    move(spinner_backends[s].minus_x, spinner_backends[s].row_y);
    left_button(true, spinner_backends[s].minus_x, spinner_backends[s].row_y);
    settle();
    EXPECT_EQ(alpha, 1.4f);
    EXPECT_STREQ(spinner_backends[s].text, "1.4");
    EXPECT_EQ(held_step_spinner, s);
    EXPECT_EQ(held_step_direction, -1);
    int press = held_step_press;
    frames(3);
    EXPECT_EQ(alpha, 1.4f) << "holding steps only through the repeat timer";
    EXPECT_EQ(held_step_press, press);
    left_button(false, spinner_backends[s].minus_x, spinner_backends[s].row_y);
    settle();
    EXPECT_EQ(held_step_spinner, -1);
}

TEST_F(ControlWindow, FloatStepsAreTenthsShownAsTenths)
{
    int s = add_float_spinner();
    for (int k = 0; k < 5; k++)
        step_spinner(s, +1);
    frames(1);
    EXPECT_EQ(alpha, 2.0f);
    EXPECT_STREQ(spinner_backends[s].text, "2");
    step_spinner(s, +1);
    frames(1);
    EXPECT_STREQ(spinner_backends[s].text, "2.1");
    for (int k = 0; k < 40; k++)
        step_spinner(s, -1);
    EXPECT_EQ(alpha, 1.0f);
}

TEST_F(ControlWindow, FieldFollowsChangesOfTheLiveValueWhileNotEdited)
{
    int s = add_int_spinner();
    temperature = 3;
    frames(1);
    EXPECT_STREQ(spinner_backends[s].text, "3");
}

TEST_F(ControlWindow, NoRedisplayRequestWithoutAMainWindow)
{
    glui->set_main_gfx_window(0);
    int s = add_int_spinner();
    enter_text(s, "3");
    EXPECT_EQ(temperature, 3);
    EXPECT_EQ(redisplay_requests, 0);
}

TEST_F(ControlWindow, WindowIsSizedToItsSpinnerRow)
{
    add_int_spinner();
    const window_backend &row = window_backends[w];
    EXPECT_GT(row.content_width, 100.0f);
    EXPECT_LT(row.content_width, 400.0f);
    EXPECT_GT(row.content_height, 15.0f);
    EXPECT_LT(row.content_height, 60.0f);
}

// Twice the density doubles the row's height and nearly its width (the
// label's font differs), with DejaVu Sans or, without it, ImGui's own font.
TEST_F(ControlWindow, TwiceTheDensityDoublesTheSpinnerRowWithEitherFont)
{
    add_float_spinner();
    float width = window_backends[w].content_width, height = window_backends[w].content_height;
    for (const char *font : {density_font_path, "/nonexistent/font.ttf"}) {
        clear_control_tables();
        w = add_control_window_row();
        ImGui::GetIO().DisplaySize = ImVec2(400, 160);
        glui = &glui_windows[w].handle;
        apply_density(2.0, font);
        add_float_spinner();
        EXPECT_EQ(ImGui::GetFontSize(), 26.0f) << font;
        EXPECT_EQ(window_backends[w].content_height, 2 * height) << font;
        EXPECT_NEAR(window_backends[w].content_width, 2 * width, 0.05 * width) << font;
    }
}

TEST(ScreenDensity, ScaleFollowsXftDpiWithinBoundsAndIgnoresAnythingElse)
{
    EXPECT_EQ(density_scale("Xft.antialias:\t1\nXft.dpi:\t192\n"), 2.0);
    EXPECT_EQ(density_scale("Xft.dpi: 144.0"), 1.5);
    EXPECT_EQ(density_scale("Xft.dpi: 1e9"), 4.0);
    EXPECT_EQ(density_scale("Xft.dpi: 12"), 0.5);
    EXPECT_EQ(density_scale(nullptr), 1.0);
    for (const char *odd : {"", "Xft.dpi: 0", "Xft.dpi: -96", "Xft.dpi: auto", "Xft.dpi: 192dpi",
                            "Xft.dpi: nan", "Xcursor.size: 48"})
        EXPECT_EQ(density_scale(odd), 1.0) << odd;
}

TEST_F(ControlWindow, UnusableCallsGiveInertHandlesInsteadOfCrashing)
{
    GLUI_Spinner *s = glui->add_spinner("none", GLUI_SPINNER_INT, nullptr);
    s->set_int_limits(1, 4);
    s->set_float_limits(1, 4);
    EXPECT_EQ(s->slot, -1);
    EXPECT_EQ(glui->add_spinner("odd", 99, &temperature)->slot, -1);
    for (int k = 0; k < max_spinners; k++)
        glui->add_spinner("t", GLUI_SPINNER_INT, &temperature);
    EXPECT_EQ(glui->add_spinner("one too many", GLUI_SPINNER_INT, &temperature)->slot, -1);
    for (int k = 1; k < max_control_windows; k++)
        EXPECT_GE(add_control_window_row(), 0);
    EXPECT_EQ(add_control_window_row(), -1);
}

TEST(InputQueue, EachFrameTakesCharactersUpToTheFirstKeyOrButtonChange)
{
    clear_control_tables();
    int w = add_control_window_row();
    ImGuiIO &io = ImGui::GetIO();
    queue_input(w, {key_char, '1', true, 0, 0, 0});
    queue_input(w, {key_char, '1', false, 0, 0, 0});
    queue_input(w, {mouse_button, 0, true, input_mods_unknown, 5, 6});
    queue_input(w, {mouse_button, 0, false, input_mods_unknown, 5, 6});
    queue_input(w, {key_char, 13, true, 0, 0, 0});
    queue_input(w, {key_char, 13, false, 0, 0, 0});

    EXPECT_TRUE(apply_queued_input(w));
    EXPECT_EQ(io.InputQueueCharacters.Size, 1);
    EXPECT_TRUE(io.MouseDown[0]);
    EXPECT_EQ(io.MousePos.x, 5.0f);
    EXPECT_TRUE(apply_queued_input(w));
    EXPECT_FALSE(io.MouseDown[0]);
    EXPECT_TRUE(apply_queued_input(w));
    EXPECT_TRUE(io.KeysDown[13]);
    EXPECT_FALSE(apply_queued_input(w));
    EXPECT_FALSE(io.KeysDown[13]);
    EXPECT_FALSE(input_pending(w));
    clear_control_tables();
}

} // namespace
