// SPDX-License-Identifier: MIT
// The page backend: a control window is a panel of the page's own elements beside the canvas, a
// spinner a <label> tied to a text field (a spinbutton to assistive technology, with its range and
// value in its aria-value attributes) and "-" and "+" buttons. Its script (page_panel.js) only
// builds the elements, forwards their events to the entry points at the end, and shows the text
// they format; every rule (what is committed when, limits, steps) is the core's, as on the
// desktop. Nothing runs at rest: no timer but a held button's.
#include "glui/core/spinner_table.h"
#include "glui/core/spinner_value.h"

#include <GL/glut.h>
#include <emscripten.h>

namespace {

// The field's text, written here by the script before an entry point reads
// it. Longer text than fits cannot be a number the desktop field accepts
// either (it holds spinner_text_size - 1 bytes), so it is refused whole,
// never cut.
const int field_text_size = 256;
char field_text[field_text_size];

// Whether each spinner's field text was changed since it last showed the
// value, at the spinner's slot.
bool field_edited[max_spinners];

bool is_spinner(int spinner)
{
    return spinner >= 0 && spinner < glui_spinner_count;
}

} // namespace

// Defined in page_panel.js.
extern "C" {
// A panel for control window window, headed name.
void glui_page_make_panel(int window, const char *name);
// The label, field and step buttons of a spinner in window's panel; whole:
// an integer spinner.
void glui_page_make_spinner(int spinner, int window, const char *label, int whole);
// Shows text in the spinner's field and its range (low, high; "" for none)
// to assistive technology.
void glui_page_show_text(int spinner, const char *text, const char *low, const char *high);
// Hands words about the spinner to the page (Module.gluiSay), for its
// status region.
void glui_page_say(int spinner, const char *words);
}

void open_control_window(int window, const char *name, int, int)
{
    glui_page_make_panel(window, name);
}

void add_spinner_widget(int spinner)
{
    const glui_spinner_row &row = glui_spinners[spinner];
    glui_page_make_spinner(spinner, row.window, row.label, row.data_type == GLUI_SPINNER_INT);
    update_spinner_widget(spinner);
}

// Also after every event of the field, so that text refused or not
// committed gives way to the value as it is now.
void update_spinner_widget(int spinner)
{
    const glui_spinner_row &row = glui_spinners[spinner];
    field_edited[spinner] = false;
    char low[32] = "", high[32] = "";
    if (row.limit_type != GLUI_LIMIT_NONE) {
        format_spinner_value(row.low, row.data_type, low, sizeof low);
        format_spinner_value(row.high, row.data_type, high, sizeof high);
    }
    refresh_shown_spinner_text(spinner);
    glui_page_show_text(spinner, row.shown, low, high);
}

// The page has one canvas: whichever window the program names is it.
void (*request_main_redisplay)(int) = [](int) { glutPostRedisplay(); };

// ---- entry points for the page's script ----
// length is the field's text in UTF-8 bytes, as written into
// glui_page_field_text.

extern "C" {

// The buffer the script writes a field's text into (UTF-8, NUL-terminated),
// glui_page_field_text_size() bytes long.
EMSCRIPTEN_KEEPALIVE char *glui_page_field_text()
{
    return field_text;
}

EMSCRIPTEN_KEEPALIVE int glui_page_field_text_size()
{
    return field_text_size;
}

// The user changed the field's text (edited 1) or, with Escape, gave up the change (0).
EMSCRIPTEN_KEEPALIVE void glui_page_edited(int spinner, int edited)
{
    if (is_spinner(spinner))
        field_edited[spinner] = edited != 0;
}

// steps 0: Enter, or the field lost the keyboard (Tab, a click elsewhere).
// Else Up or Down in the field, a wheel notch over it or its buttons, a button.
EMSCRIPTEN_KEEPALIVE void glui_page_field(int spinner, int length, int steps)
{
    if (!is_spinner(spinner))
        return;
    const char *text = length >= 0 && length < field_text_size ? field_text : "";
    char words[spinner_words_size];
    if (steps == 0)
        leave_spinner_field(spinner, text, field_edited[spinner], words, sizeof words);
    else
        step_spinner_field_from_inside(spinner, text, field_edited[spinner], steps, words,
                                       sizeof words);
    update_spinner_widget(spinner);
    // Refused or limited text is said, not only put back: a keyboard or
    // screen-reader user would not see why the field shows another value.
    if (words[0] != '\0')
        glui_page_say(spinner, words);
}

// Commits the text in glui_page_field_text (length bytes) as typed and left,
// and returns in words what happened (commit_spinner_text_in_words), for
// the page's status region: "" when taken as it is. The words stay until the
// next call.
EMSCRIPTEN_KEEPALIVE const char *glui_page_commit_words(int spinner, int length)
{
    static char words[spinner_words_size];
    words[0] = '\0';
    if (!is_spinner(spinner))
        return words;
    const char *text = length >= 0 && length < field_text_size ? field_text : "";
    commit_spinner_text_in_words(spinner, text, words, sizeof words);
    update_spinner_widget(spinner);
    return words;
}

// x as a float spinner's field shows it (format_spinner_value): the shortest
// "%g" text that reads back as the same float, so 2.25 gives "2.25" and 1e-5
// "1e-05"; for no finite number, C's words ("inf", "-inf", "nan"). The text
// stays until the next call.
EMSCRIPTEN_KEEPALIVE const char *glui_page_float_text(double x)
{
    static char text[32];
    format_spinner_value(x, GLUI_SPINNER_FLOAT, text, sizeof text);
    return text;
}

// text (UTF-8, NUL-terminated, anywhere in the module's memory, such as
// glui_page_field_text) as the words about a spinner quote it
// (quote_user_text): trimmed of blanks, at most 24 characters, and "\u2026"
// where cut. Only the first 25 characters after the leading blanks matter,
// so longer text may be written into a buffer cut, as stringToUTF8 cuts it,
// as long as that many are left. The quote stays until the next call.
EMSCRIPTEN_KEEPALIVE const char *glui_page_quote(const char *text)
{
    static char quoted[quoted_text_size];
    quote_user_text(text != nullptr ? text : "", quoted, sizeof quoted);
    return quoted;
}

} // extern "C"
