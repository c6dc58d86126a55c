// SPDX-License-Identifier: MIT
#include "glui/imgui/backend.h"
#include "imgui.h"
#include "imgui_internal.h"

#include <cstdio>
#include <cstring>

spinner_backend spinner_backends[max_spinners];
int held_step_spinner = -1;
int held_step_direction = 0;
int held_step_press = 0;

namespace {

// The field's text becomes the live value as it is now, dropping any edit.
void fill_field_with_live_value(int spinner)
{
    refresh_shown_spinner_text(spinner);
    std::snprintf(spinner_backends[spinner].text, sizeof spinner_backends[spinner].text, "%s",
                  glui_spinners[spinner].shown);
}

// Called by the field every frame while it has the keyboard. Up, Down and the
// wheel step the value there: an edit is committed first, as leaving the
// field would commit it, and the field then shows the new value all selected,
// so that typing replaces it. Tab asks for the completion call, which is
// ignored, so that ImGui's own tabbing (which, in a window with no other
// field, would only focus this one again) leaves it alone.
int field_callback(ImGuiInputTextCallbackData *data)
{
    if (data->EventFlag != ImGuiInputTextFlags_CallbackAlways)
        return 0;
    int s = static_cast<glui_spinner_row *>(data->UserData)->handle.slot;
    spinner_backend &row = spinner_backends[s];
    ImGuiIO &io = ImGui::GetIO();
    int steps = row.pending_steps;
    row.pending_steps = 0;
    steps += ImGui::IsKeyPressed(io.KeyMap[ImGuiKey_UpArrow]) ? 1 : 0;
    steps -= ImGui::IsKeyPressed(io.KeyMap[ImGuiKey_DownArrow]) ? 1 : 0;
    if (steps == 0)
        return 0;
    // row.text is the text as the last frame left it; Buf has this frame's typing.
    step_spinner_field_from_inside(s, data->Buf,
                                   row.edited || std::strcmp(data->Buf, row.text) != 0, steps);
    data->DeleteChars(0, data->BufTextLen);
    data->InsertChars(0, glui_spinners[s].shown);
    data->SelectAll();
    row.stepped_in_field = true;
    return 0;
}

// The text field. While it is being edited ImGui owns its text; otherwise it
// shows the live value as it is now, whoever changed it.
void spinner_field(int s)
{
    spinner_backend &row = spinner_backends[s];
    ImGuiIO &io = ImGui::GetIO();
    // Wheel notches over the field or its buttons, where the last frame drew them.
    ImVec2 min(row.box_min_x, row.box_min_y), max(row.box_max_x, row.box_max_y);
    int wheel = ImGui::IsMouseHoveringRect(min, max, false) ? static_cast<int>(io.MouseWheel) : 0;
    if (row.editing) {
        row.pending_steps = wheel;
    } else {
        step_spinner(s, wheel);
        fill_field_with_live_value(s);
    }
    bool escape = ImGui::IsKeyPressed(io.KeyMap[ImGuiKey_Escape], false);
    bool tab = ImGui::IsKeyPressed(io.KeyMap[ImGuiKey_Tab], false);
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 6.0f);
    ImGui::InputText("##value", row.text, sizeof row.text,
                     ImGuiInputTextFlags_AutoSelectAll | ImGuiInputTextFlags_CallbackCompletion |
                         ImGuiInputTextFlags_CallbackAlways,
                     field_callback, &glui_spinners[s]);
    row.field_x = (ImGui::GetItemRectMin().x + ImGui::GetItemRectMax().x) * 0.5f;
    row.row_y = (ImGui::GetItemRectMin().y + ImGui::GetItemRectMax().y) * 0.5f;
    row.box_min_x = ImGui::GetItemRectMin().x;
    row.box_min_y = ImGui::GetItemRectMin().y;
    bool active = ImGui::IsItemActive();
    // A step in the field has committed the edit and replaced its text.
    if (row.stepped_in_field)
        row.edited = false;
    else if (ImGui::IsItemEdited())
        row.edited = true;
    row.stepped_in_field = false;
    if (active && row.editing && tab) {
        ImGui::ClearActiveID();
        active = false;
    }
    // Enter, Tab and a click elsewhere all end the edit; only an edited
    // field is committed, so merely visiting it writes nothing.
    bool left_field = row.editing && !active;
    if (left_field)
        leave_spinner_field(s, row.text, row.edited && !escape);
    // Steps the callback did not take, the field having lost the keyboard.
    step_spinner(s, row.pending_steps);
    row.pending_steps = 0;
    if (!active)
        row.edited = false;
    row.editing = active;
    if (left_field)
        fill_field_with_live_value(s);
}

void step_button(int s, const char *text, int direction)
{
    spinner_backend &row = spinner_backends[s];
    float side = ImGui::GetFrameHeight();
    ImGui::Button(text, ImVec2(side, side));
    float centre = (ImGui::GetItemRectMin().x + ImGui::GetItemRectMax().x) * 0.5f;
    (direction < 0 ? row.minus_x : row.plus_x) = centre;
    // The step comes on the press, not on release, as the spinner's
    // buttons in GLUI do; the GLUT glue repeats it while the button is held.
    if (ImGui::IsItemActivated()) {
        step_spinner(s, direction);
        held_step_spinner = s;
        held_step_direction = direction;
        held_step_press++;
    } else if (!ImGui::IsItemActive() && held_step_spinner == s &&
               held_step_direction == direction) {
        held_step_spinner = -1;
        held_step_direction = 0;
    }
}

} // namespace

// Each frame makes the widgets and shows the live value in a field not being
// edited; a new row only starts its state afresh.
void add_spinner_widget(int spinner)
{
    spinner_backends[spinner] = spinner_backend();
}

void update_spinner_widget(int) {}

void build_control_frame(int window)
{
    window_backend &w = window_backends[window];
    // The ImGui window always covers the whole GLUT window; the GLUT window
    // is then sized to the widgets measured below, which depend on the
    // contents alone, so the two sizes cannot chase each other.
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
    ImGui::Begin("##controls", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoScrollWithMouse | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus);
    ImVec2 origin = ImGui::GetWindowPos();
    ImVec2 extent = origin;
    for (int s = 0; s < glui_spinner_count; s++) {
        if (glui_spinners[s].window != window)
            continue;
        spinner_backend &row = spinner_backends[s];
        ImGui::PushID(s);
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(glui_spinners[s].label);
        ImGui::SameLine();
        spinner_field(s);
        ImGui::SameLine(0.0f, ImGui::GetStyle().ItemInnerSpacing.x);
        step_button(s, "-", -1);
        ImGui::SameLine(0.0f, ImGui::GetStyle().ItemInnerSpacing.x);
        step_button(s, "+", +1);
        row.box_max_x = ImGui::GetItemRectMax().x;
        row.box_max_y = ImGui::GetItemRectMax().y;
        extent.x = ImMax(extent.x, row.box_max_x);
        extent.y = ImMax(extent.y, row.box_max_y);
        ImGui::PopID();
    }
    ImVec2 padding = ImGui::GetStyle().WindowPadding;
    w.content_width = extent.x - origin.x + padding.x;
    w.content_height = extent.y - origin.y + padding.y;
    ImGui::End();
}
