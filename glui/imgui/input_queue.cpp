// SPDX-License-Identifier: MIT
#include "glui/imgui/input_queue.h"

#include "glui/imgui/control_table.h"
#include "imgui.h"

namespace {

enum input_kind { mouse_move, mouse_button, mouse_wheel, key_char, key_special };

struct input_event {
    input_kind kind;
    int code; // button, character, special key or wheel notches
    bool down;
    int mods; // input_mod_* bits after the event, or input_mods_unknown
    float x, y;
};

// Enough for a burst of typing between two frames; past it new events are
// dropped, except releases, which replace the last event so nothing sticks.
const int queue_capacity = 256;

input_event queues[max_control_windows][queue_capacity];
int queue_head[max_control_windows];
int queue_length[max_control_windows];

input_event &queued(int window, int k)
{
    return queues[window][(queue_head[window] + k) % queue_capacity];
}

void push_event(int window, const input_event &e)
{
    if (window < 0 || window >= max_control_windows)
        return;
    if (queue_length[window] == queue_capacity) {
        if (e.kind == mouse_move || e.down)
            return;
        queued(window, queue_length[window] - 1) = e;
        return;
    }
    queued(window, queue_length[window]++) = e;
}

void set_key(ImGuiIO &io, int index, bool down)
{
    if (index >= 0 && index < IM_ARRAYSIZE(io.KeysDown))
        io.KeysDown[index] = down;
}

// Applies one event to io; says whether it changed a button or a key that
// ImGui reads by its state (Enter, Tab, arrows, shortcuts), which must last a frame.
bool apply_event(ImGuiIO &io, const input_event &e)
{
    if (e.mods != input_mods_unknown) {
        io.KeyShift = (e.mods & input_mod_shift) != 0;
        io.KeyCtrl = (e.mods & input_mod_ctrl) != 0;
        io.KeyAlt = (e.mods & input_mod_alt) != 0;
    }
    switch (e.kind) {
    case mouse_move:
        io.MousePos = ImVec2(e.x, e.y);
        return false;
    case mouse_button:
        io.MousePos = ImVec2(e.x, e.y);
        if (e.code >= 0 && e.code < IM_ARRAYSIZE(io.MouseDown))
            io.MouseDown[e.code] = e.down;
        return true;
    case mouse_wheel:
        io.MousePos = ImVec2(e.x, e.y);
        io.MouseWheel += static_cast<float>(e.code);
        return true;
    case key_char: {
        int c = e.code;
        set_key(io, c, e.down);
        // Letters count in both cases, and GLUT reports Ctrl+letter as 1..26:
        // ImGui's shortcuts (Ctrl+A, C, V, X, Y, Z) look for the capital.
        if (c >= 'a' && c <= 'z')
            set_key(io, c - 'a' + 'A', e.down);
        else if (c >= 'A' && c <= 'Z')
            set_key(io, c - 'A' + 'a', e.down);
        else if (c >= 1 && c <= 26 && c != 8 && c != 9 && c != 13)
            set_key(io, c - 1 + 'A', e.down);
        bool typed = c >= 32 && c != 127 && (e.mods & (input_mod_ctrl | input_mod_alt)) == 0;
        if (typed) {
            // Only the typed character matters to the field; its key state
            // need not last a frame, so typing does not cost a frame a key.
            if (e.down)
                io.AddInputCharacter(static_cast<unsigned int>(c));
            return false;
        }
        break;
    }
    case key_special:
        // GLUT's special keys are small numbers; any other would overflow.
        if (e.code >= 0 && e.code < 256)
            set_key(io, 256 + e.code, e.down);
        break;
    }
    return true;
}

} // namespace

void queue_mouse_button(int window, int button, bool down, float x, float y, int mods)
{
    push_event(window, input_event{mouse_button, button, down, mods, x, y});
}

void queue_mouse_move(int window, float x, float y, int mods)
{
    if (window >= 0 && window < max_control_windows && queue_length[window] > 0) {
        input_event &last = queued(window, queue_length[window] - 1);
        if (last.kind == mouse_move && last.mods == mods) {
            last.x = x;
            last.y = y;
            return;
        }
    }
    push_event(window, input_event{mouse_move, 0, false, mods, x, y});
}

void queue_mouse_wheel(int window, int notches, float x, float y, int mods)
{
    if (notches != 0)
        push_event(window, input_event{mouse_wheel, notches, true, mods, x, y});
}

void queue_key_char(int window, unsigned char c, bool down, int mods)
{
    push_event(window, input_event{key_char, c, down, mods, 0, 0});
}

void queue_key_special(int window, int key, bool down, int mods)
{
    push_event(window, input_event{key_special, key, down, mods, 0, 0});
}

bool apply_queued_input(int window)
{
    if (window < 0 || window >= max_control_windows)
        return false;
    ImGuiIO &io = ImGui::GetIO();
    while (queue_length[window] > 0) {
        input_event e = queued(window, 0);
        // A character typed after a key change waits for the next frame, so
        // that "1", Backspace, "2" edits in the order it was typed.
        queue_head[window] = (queue_head[window] + 1) % queue_capacity;
        queue_length[window]--;
        if (apply_event(io, e))
            break;
    }
    return queue_length[window] > 0;
}

bool input_pending(int window)
{
    return window >= 0 && window < max_control_windows && queue_length[window] > 0;
}

void clear_input_queues()
{
    for (int w = 0; w < max_control_windows; w++) {
        queue_head[w] = 0;
        queue_length[w] = 0;
    }
}
