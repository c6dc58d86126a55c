// SPDX-License-Identifier: MIT
// Any bytes committed in the field of an integer and of a floating-point
// spinner, as the viewers make them (limits 1 .. 4, clamped), through the
// layer's shared core. The stored value is always finite and within the
// limits. Text that reads as a decimal number (a plain strtod reading, its
// "inf", "nan" and hexadecimal forms excluded; for the integer spinner a
// whole number) stores that number clamped, which is what typing it plainly
// stores; any other text is refused and leaves the value and the shown text
// as they were. Words about the text (a refusal or a limit) start with it
// quoted and are never cut.
#include "glui/core/spinner_table.h"
#include "glui/core/spinner_value.h"
#include "glui/glui.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// The core's hooks: no backend here, only the tables.
void open_control_window(int, const char *, int, int) {}
void add_spinner_widget(int) {}
void update_spinner_widget(int) {}
void (*request_main_redisplay)(int) = [](int) {};

namespace {

int temperature = 1;
float alpha = 1.5f;
int spinner_int = -1, spinner_float = -1;

void make_spinners()
{
    glui_window_count = 0;
    glui_spinner_count = 0;
    temperature = 1;
    alpha = 1.5f;
    GLUI *glui = GLUI_Master.create_glui("controls", 0, 475, 100);
    GLUI_Spinner *s = glui->add_spinner("Temperature", GLUI_SPINNER_INT, &temperature, -1);
    s->set_int_limits(1, 4, GLUI_LIMIT_CLAMP);
    spinner_int = s->slot;
    s = glui->add_spinner("alpha", GLUI_SPINNER_FLOAT, &alpha, -1);
    s->set_int_limits(1, 4, GLUI_LIMIT_CLAMP);
    spinner_float = s->slot;
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

// A plain reading of text as a decimal number, blanks around it allowed.
bool reads_as_decimal(const std::string &text, double *value)
{
    size_t from = 0, to = text.size();
    while (from < to && is_blank(text[from]))
        from++;
    while (to > from && is_blank(text[to - 1]))
        to--;
    std::string core = text.substr(from, to - from);
    if (core.empty() || core.find_first_not_of("0123456789+-.eE") != std::string::npos)
        return false;
    char *end = nullptr;
    double v = std::strtod(core.c_str(), &end);
    if (end != core.c_str() + core.size())
        return false;
    *value = v;
    return true;
}

void fail(const std::string &text, const char *why)
{
    std::fprintf(stderr, "spinner_text_fuzz: \"%s\": %s\n", text.c_str(), why);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    make_spinners();
    FuzzedDataProvider in(data, size);
    // A few commits in a row, so that refusals are seen from other values too.
    for (int round = 0; round < 4 && in.remaining_bytes() > 0; round++) {
        const bool is_int = in.ConsumeBool();
        const int s = is_int ? spinner_int : spinner_float;
        // What the field holds: at most its buffer, up to the first NUL.
        std::string text = in.ConsumeRandomLengthString(spinner_text_size - 1);
        text = text.substr(0, std::strlen(text.c_str()));

        const double before = live_spinner_value(s);
        const std::string shown_before = glui_spinners[s].shown;
        char words[spinner_words_size];
        const bool taken = commit_spinner_text_in_words(s, text.c_str(), words, sizeof words);
        const double after = live_spinner_value(s);

        if (std::strlen(words) + 1 >= sizeof words)
            fail(text, "the words may have been cut");
        char quoted[quoted_text_size];
        quote_user_text(text.c_str(), quoted, sizeof quoted);
        if (words[0] != '\0' && std::strncmp(words, quoted, std::strlen(quoted)) != 0)
            fail(text, "the words do not start with the quoted text");

        if (!std::isfinite(after) || after < 1.0 || after > 4.0)
            fail(text, "the stored value is outside 1 .. 4");
        double v = 0;
        bool number =
            reads_as_decimal(text, &v) && (!is_int || v == std::floor(v) || !std::isfinite(v));
        if (number != taken)
            fail(text, taken ? "text that is no number was taken" : "a number was refused");
        if (!number) {
            if (std::memcmp(&before, &after, sizeof before) != 0 ||
                shown_before != glui_spinners[s].shown)
                fail(text, "refused text changed the value or the shown text");
            continue;
        }
        const double clamped = std::fmin(std::fmax(v, 1.0), 4.0);
        const double want = is_int ? double(int(clamped)) : double(float(clamped));
        if (after != want)
            fail(text, "the stored value is not the number clamped");
        // Typing the shown text plainly stores the same value again.
        const std::string shown = glui_spinners[s].shown;
        commit_spinner_text(s, shown.c_str());
        if (live_spinner_value(s) != after)
            fail(text, "typing the shown text back stores another value");
    }
    return 0;
}
