// SPDX-License-Identifier: MIT
// The page backend: a control window is a panel of the page's own elements beside the canvas, a
// spinner a <label> tied to a text field (a spinbutton to assistive technology, with its range and
// value in its aria-value attributes) and "-" and "+" buttons. The script below only builds the
// elements, forwards their events to the entry points at the end, and shows the text they format;
// every rule (what is committed when, limits, steps) is the core's, as on the desktop. Nothing
// runs at rest: no timer but a held button's.
#include "glui/core/spinner_table.h"
#include "glui/core/spinner_value.h"

#include <GL/glut.h>
#include <emscripten.h>

namespace {

// The field's text, written here by the script before an entry point reads
// it. Longer text than fits cannot be a number the desktop field accepts
// either (it holds 63 bytes), so it is refused whole, never cut.
const int field_text_size = 256;
char field_text[field_text_size];

bool is_spinner(int spinner)
{
    return spinner >= 0 && spinner < glui_spinner_count;
}

} // namespace

// The script is JavaScript, which clang-format would take for C++.
// clang-format off

// A <section class="glui-panel"> headed by the window's name, placed into the
// element with id "controls", or at the end of the body, once the document
// has been read.
EM_JS(void, glui_page_make_panel, (int window, const char *name), {
    var panel = Object.assign(document.createElement("section"),
                              {className: "glui-panel", id: "glui-panel-" + window});
    var title = Object.assign(document.createElement("h2"), {className: "glui-title",
        id: "glui-title-" + window, textContent: UTF8ToString(name)});
    panel.appendChild(title);
    panel.setAttribute("aria-labelledby", title.id);
    Module.gluiPanels = Module.gluiPanels || [];
    Module.gluiPanels[window] = panel;
    function place() {
        (document.getElementById("controls") || document.body).appendChild(panel);
    }
    if (document.readyState === "loading")
        document.addEventListener("DOMContentLoaded", place);
    else
        place();
});

// The spinner's row: <label for> its field (type text, so that every text
// reaches the core's rules, with the role of a spinbutton), the field, and
// the step buttons, named by their sign and what they do. A press on a
// button steps at once and, held, again after 400 ms and then every 100 ms,
// as on the desktop; the keyboard's click on a focused button steps once.
EM_JS(void, glui_page_make_spinner, (int spinner, int window, const char *label_text, int whole), {
    var name = UTF8ToString(label_text);
    var row = Object.assign(document.createElement("div"), {className: "glui-spinner"});
    var label = Object.assign(document.createElement("label"),
                              {htmlFor: "glui-spinner-" + spinner, textContent: name});
    var box = Object.assign(document.createElement("span"), {className: "glui-spinner-box"});
    var input = Object.assign(document.createElement("input"), {id: label.htmlFor, type: "text",
        inputMode: whole ? "numeric" : "decimal", autocomplete: "off", spellcheck: false, size: 6});
    input.setAttribute("role", "spinbutton");
    Module.gluiFields = Module.gluiFields || [];
    Module.gluiFields[spinner] = input;

    // steps 0: the field is left; else the value steps from it.
    function step(steps) {
        var text = input.value;
        stringToUTF8(text, _glui_page_field_text(), 256);
        _glui_page_field(spinner, lengthBytesUTF8(text), steps);
    }

    var focused_by_press = false;
    input.addEventListener("mousedown", function() {
        focused_by_press = document.activeElement !== input;
    });
    input.addEventListener("focus", function() { input.select(); });
    input.addEventListener("mouseup", function(event) {
        if (focused_by_press)
            event.preventDefault();
        focused_by_press = false;
    });
    input.addEventListener("input", function() { _glui_page_edited(spinner, 1); });
    input.addEventListener("blur", function() { step(0); });
    input.addEventListener("keydown", function(event) {
        if (event.isComposing)
            return;
        if (event.key === "Enter") {
            step(0);
        } else if (event.key === "Escape") {
            _glui_page_edited(spinner, 0); // left unedited, it shows the value again
            step(0);
        } else if (event.key === "ArrowUp" || event.key === "ArrowDown") {
            step(event.key === "ArrowUp" ? 1 : -1);
        } else {
            return;
        }
        event.preventDefault();
    });

    function button(text, direction, action) {
        var b = Object.assign(document.createElement("button"),
                              {type: "button", className: "glui-step", textContent: text});
        b.setAttribute("aria-label", text + " " + action + " " + name);
        var timer = 0;
        function stop() { clearTimeout(timer); timer = 0; }
        function repeat() { step(direction); timer = setTimeout(repeat, 100); }
        b.addEventListener("pointerdown", function(event) {
            if (event.button !== 0)
                return;
            b.setPointerCapture(event.pointerId);
            stop();
            step(direction);
            timer = setTimeout(repeat, 400);
        });
        b.addEventListener("pointerup", stop);
        b.addEventListener("pointercancel", stop);
        b.addEventListener("lostpointercapture", stop);
        b.addEventListener("click", function(event) { if (event.detail === 0) step(direction); });
        return b;
    }

    box.appendChild(input);
    box.appendChild(button("-", -1, "Decrease"));
    box.appendChild(button("+", 1, "Increase"));
    box.addEventListener("wheel", function(event) {
        if (event.deltaY === 0)
            return;
        event.preventDefault();
        step(event.deltaY < 0 ? 1 : -1);
    }, {passive: false});
    row.appendChild(label);
    row.appendChild(document.createTextNode(" "));
    row.appendChild(box);
    Module.gluiPanels[window].appendChild(row);
});

// Shows text in the spinner's field, all selected while the field has the
// keyboard, so that typing replaces it, and tells assistive technology the
// value and the range (low and high: "" for none).
EM_JS(void, glui_page_show_text, (int spinner, const char *text, const char *low,
                                  const char *high), {
    var input = Module.gluiFields[spinner];
    input.value = UTF8ToString(text);
    // Browsers keep aria-valuenow in single precision; the text is what is
    // read out.
    input.setAttribute("aria-valuenow", input.value);
    input.setAttribute("aria-valuetext", input.value);
    low = UTF8ToString(low);
    high = UTF8ToString(high);
    low ? input.setAttribute("aria-valuemin", low) : input.removeAttribute("aria-valuemin");
    high ? input.setAttribute("aria-valuemax", high) : input.removeAttribute("aria-valuemax");
    if (document.activeElement === input)
        input.select();
});

// clang-format on

void open_control_window(int window, const char *name, int, int)
{
    glui_page_make_panel(window, name);
}

void add_spinner_widget(int spinner)
{
    const glui_spinner_row &row = glui_spinners[spinner];
    glui_page_make_spinner(spinner, row.window, row.label, row.data_type == GLUI_SPINNER_INT);
    show_spinner_value(spinner);
}

void show_spinner_value(int spinner)
{
    glui_spinner_row &row = glui_spinners[spinner];
    row.backend.edited = false;
    char low[32] = "", high[32] = "";
    if (row.limit_type != GLUI_LIMIT_NONE) {
        format_spinner_value(row.low, row.data_type, low, sizeof low);
        format_spinner_value(row.high, row.data_type, high, sizeof high);
    }
    glui_page_show_text(spinner, shown_spinner_text(spinner), low, high);
}

// The page has one canvas: whichever window the program names is it.
void (*request_main_redisplay)(int) = [](int) { glutPostRedisplay(); };

// ---- entry points for the page's script ----
// length is the field's text in UTF-8 bytes, as written into
// glui_page_field_text; steps is +-n for a step, 0 otherwise.

extern "C" {

EMSCRIPTEN_KEEPALIVE char *glui_page_field_text()
{
    return field_text;
}

// The user changed the field's text (edited 1) or, with Escape, gave up the change (0).
EMSCRIPTEN_KEEPALIVE void glui_page_edited(int spinner, int edited)
{
    if (is_spinner(spinner))
        glui_spinners[spinner].backend.edited = edited != 0;
}

// steps 0: Enter, or the field lost the keyboard (Tab, a click elsewhere).
// Else Up or Down in the field, a wheel notch over it or its buttons, a button.
EMSCRIPTEN_KEEPALIVE void glui_page_field(int spinner, int length, int steps)
{
    if (!is_spinner(spinner))
        return;
    const char *text = length >= 0 && length < field_text_size ? field_text : "";
    commit_spinner_field(spinner, text, glui_spinners[spinner].backend.edited, steps);
    show_spinner_value(spinner);
}

} // extern "C"
