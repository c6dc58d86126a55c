// SPDX-License-Identifier: MIT
// The shared field rules every backend forwards its events to: leaving the
// field and stepping from inside it, with or without an edit, and the words
// that say what became of an edit, straight on the tables.
#include "glui/glui.h"
#include "tests/support/control_tables.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

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
        if (c.steps == 0)
            leave_spinner_field(s->slot, c.text, c.edited);
        else
            step_spinner_field_from_inside(s->slot, c.text, c.edited, c.steps);
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
    EXPECT_STREQ(glui_spinners[s->slot].shown, "4") << "a read changes nothing";
    refresh_shown_spinner_text(s->slot);
    EXPECT_STREQ(glui_spinners[s->slot].shown, "7");
    clear_control_tables();
}

TEST(SpinnerField, LeavingAnEditedFieldSaysWhatBecameOfItsText)
{
    const struct {
        const char *text;
        bool edited;
        int steps;
        const char *words;
        float alpha;
    } cases[] = {{"9", true, 0, "9 is above 4: alpha is 4", 4.0f},
                 {"9", false, 0, "", 1.5f},
                 {"2", true, 0, "", 2.0f},
                 {"x", true, +1, "x is not a number: alpha stays 1.5", 1.6f}};
    for (const auto &c : cases) {
        clear_control_tables();
        float alpha = 1.5f;
        int w = add_control_window_row();
        GLUI_Spinner *s = glui_windows[w].handle.add_spinner("alpha", GLUI_SPINNER_FLOAT, &alpha);
        s->set_float_limits(1, 4);
        char words[spinner_words_size] = "stale";
        if (c.steps == 0)
            leave_spinner_field(s->slot, c.text, c.edited, words, sizeof words);
        else
            step_spinner_field_from_inside(s->slot, c.text, c.edited, c.steps, words, sizeof words);
        EXPECT_STREQ(words, c.words) << c.text << " " << c.edited;
        EXPECT_EQ(alpha, c.alpha) << c.text << " " << c.edited;
    }
    clear_control_tables();
}

TEST(SpinnerField, CommittedTextIsSaidInWords)
{
    const struct {
        const char *text;
        int type;
        const char *words;
        double value; // the live value afterwards, from 3 (or 1.5)
    } cases[] = {
        {"2", GLUI_SPINNER_INT, "", 2},
        {" 7 ", GLUI_SPINNER_INT, "7 is above 4: Temperature is 4", 4},
        {"-2", GLUI_SPINNER_INT, "-2 is below 1: Temperature is 1", 1},
        {"2.5", GLUI_SPINNER_INT, "2.5 is not a whole number: Temperature stays 3", 3},
        {"2.0", GLUI_SPINNER_INT, "", 2},
        {"abc", GLUI_SPINNER_INT, "abc is not a number: Temperature stays 3", 3},
        {"<b>x</b>", GLUI_SPINNER_INT, "<b>x</b> is not a number: Temperature stays 3", 3},
        // Quoted as quote_user_text quotes it: at most 24 characters, then "\u2026".
        {"12345678901234567890123456789", GLUI_SPINNER_INT,
         u8"123456789012345678901234\u2026 is above 4: Temperature is 4", 4},
        // 25 bytes, but 13 characters: whole.
        {u8"a\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9",
         GLUI_SPINNER_INT,
         u8"a\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9 "
         u8"is not a number: Temperature stays 3",
         3},
        {"2.27", GLUI_SPINNER_FLOAT, "", 2.27f},
        {"1e400", GLUI_SPINNER_FLOAT, "1e400 is above 4: alpha is 4", 4},
        {"0.5", GLUI_SPINNER_FLOAT, "0.5 is below 1: alpha is 1", 1},
        {"", GLUI_SPINNER_FLOAT, "An empty field is not a number: alpha stays 1.5", 1.5},
        {" \t ", GLUI_SPINNER_INT, "An empty field is not a number: Temperature stays 3", 3},
    };
    for (const auto &c : cases) {
        clear_control_tables();
        int temperature = 3;
        float alpha = 1.5f;
        int w = add_control_window_row();
        bool whole = c.type == GLUI_SPINNER_INT;
        GLUI_Spinner *s = glui_windows[w].handle.add_spinner(
            whole ? "Temperature" : "alpha", c.type,
            whole ? static_cast<void *>(&temperature) : static_cast<void *>(&alpha));
        s->set_int_limits(1, 4);
        char words[spinner_words_size];
        bool taken = commit_spinner_text_in_words(s->slot, c.text, words, sizeof words);
        EXPECT_STREQ(words, c.words) << c.text;
        EXPECT_EQ(taken, std::strstr(c.words, " not ") == nullptr) << c.text;
        EXPECT_EQ(whole ? temperature : alpha, static_cast<float>(c.value)) << c.text;
    }
    clear_control_tables();
}

// The longest words: a quote of 24 four-byte characters, cut, and the
// longest label and value; nothing is lost off their end.
TEST(SpinnerField, WordsHoldTheLongestQuoteLabelAndValue)
{
    clear_control_tables();
    int temperature = INT_MIN;
    std::string label(spinner_text_size - 1, 'T');
    std::string emoji;
    for (int k = 0; k < 30; k++)
        emoji += u8"\U0001F600";
    int w = add_control_window_row();
    GLUI_Spinner *s =
        glui_windows[w].handle.add_spinner(label.c_str(), GLUI_SPINNER_INT, &temperature);
    char words[spinner_words_size];
    EXPECT_FALSE(commit_spinner_text_in_words(s->slot, emoji.c_str(), words, sizeof words));
    std::string said = words;
    EXPECT_EQ(said, emoji.substr(0, 24 * 4) + u8"\u2026 is not a number: " + label +
                        " stays -2147483648");
    clear_control_tables();
}

} // namespace
