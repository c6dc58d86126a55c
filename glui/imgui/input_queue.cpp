// SPDX-License-Identifier: MIT
#include "glui/imgui/backend.h"
#include "imgui.h"

#include <GL/freeglut.h>

#include <cstring>

namespace {

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
        io.KeyShift = (e.mods & GLUT_ACTIVE_SHIFT) != 0;
        io.KeyCtrl = (e.mods & GLUT_ACTIVE_CTRL) != 0;
        io.KeyAlt = (e.mods & GLUT_ACTIVE_ALT) != 0;
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
        bool typed = c >= 32 && c != 127 && (e.mods & (GLUT_ACTIVE_CTRL | GLUT_ACTIVE_ALT)) == 0;
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

void queue_input(int window, const input_event &e)
{
    window_backend &row = window_backends[window];
    input_event *last = row.queued > 0 ? &row.queue[row.queued - 1] : nullptr;
    if (e.kind == mouse_move && last != nullptr && last->kind == mouse_move && last->mods == e.mods)
        *last = e;
    else if (row.queued < input_queue_size)
        row.queue[row.queued++] = e;
    else if (e.kind != mouse_move && !e.down)
        *last = e;
}

bool apply_queued_input(int window)
{
    window_backend &row = window_backends[window];
    ImGuiIO &io = ImGui::GetIO();
    // A character typed after a key change waits for the next frame, so
    // that "1", Backspace, "2" edits in the order it was typed.
    int taken = 0;
    while (taken < row.queued)
        if (apply_event(io, row.queue[taken++]))
            break;
    row.queued -= taken;
    std::memmove(row.queue, row.queue + taken, sizeof(input_event) * row.queued);
    return row.queued > 0;
}
