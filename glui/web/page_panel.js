// SPDX-License-Identifier: MIT
// The page backend's elements (page_panel.cpp calls these): a control window is a panel
// of the page's own elements beside the canvas, a spinner a <label> tied to a text field
// (a spinbutton to assistive technology) and "-" and "+" buttons. This script only builds
// the elements, forwards their events to the backend's entry points and shows the text
// they format; every rule is the core's, as on the desktop.
mergeInto(LibraryManager.library, {
    // A <section class="glui-panel"> headed by the window's name, placed into the
    // element with id "controls", or at the end of the body, once the document
    // has been read.
    glui_page_make_panel: function(window, name) {
        var panel = Object.assign(document.createElement("section"),
                                  {className: "glui-panel", id: "glui-panel-" + window});
        var title = Object.assign(
            document.createElement("h2"),
            {className: "glui-title", id: "glui-title-" + window, textContent: UTF8ToString(name)});
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
    },
    // The spinner's row: <label for> its field (type text, so that every text
    // reaches the core's rules, with the role of a spinbutton), the field, and
    // the step buttons, named by their sign and what they do. A press on a
    // button steps at once and, held, again after 400 ms and then every 100 ms,
    // as on the desktop; the keyboard's click on a focused button steps once.
    glui_page_make_spinner: function(spinner, window, label_text, whole) {
        var name = UTF8ToString(label_text);
        var row = Object.assign(document.createElement("div"), {className: "glui-spinner"});
        var label = Object.assign(document.createElement("label"),
                                  {htmlFor: "glui-spinner-" + spinner, textContent: name});
        var box = Object.assign(document.createElement("span"), {className: "glui-spinner-box"});
        var input = Object.assign(document.createElement("input"), {
            id: label.htmlFor,
            type: "text",
            inputMode: whole ? "numeric" : "decimal",
            autocomplete: "off",
            spellcheck: false,
            size: 6
        });
        input.setAttribute("role", "spinbutton");
        Module.gluiFields = Module.gluiFields || [];
        Module.gluiFields[spinner] = input;

        // steps 0: the field is left; else the value steps from it.
        function step(steps) {
            var text = input.value;
            stringToUTF8(text, _glui_page_field_text(), Module._glui_page_field_text_size());
            _glui_page_field(spinner, lengthBytesUTF8(text), steps);
        }

        var focused_by_press = false;
        input.addEventListener("mousedown", function() {
            focused_by_press = document.activeElement !== input;
        });
        input.addEventListener("focus", function() {
            input.select();
        });
        input.addEventListener("mouseup", function(event) {
            if (focused_by_press)
                event.preventDefault();
            focused_by_press = false;
        });
        input.addEventListener("input", function() {
            _glui_page_edited(spinner, 1);
        });
        input.addEventListener("blur", function() {
            step(0);
        });
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
            function stop() {
                clearTimeout(timer);
                timer = 0;
            }
            function repeat() {
                step(direction);
                timer = setTimeout(repeat, 100);
            }
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
            b.addEventListener("click", function(event) {
                if (event.detail === 0)
                    step(direction);
            });
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
    },
    // Shows text in the spinner's field, all selected while the field has the
    // keyboard, so that typing replaces it, and tells assistive technology the
    // value and the range (low and high: "" for none).
    glui_page_show_text: function(spinner, text, low, high) {
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
    },
    // Words about a spinner (a refused or limited value) go to the page's
    // Module.gluiSay, where the page defined one.
    glui_page_say: function(spinner, words) {
        if (Module.gluiSay)
            Module.gluiSay(UTF8ToString(words));
    },
});
