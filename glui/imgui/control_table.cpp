// SPDX-License-Identifier: MIT
#include "glui/imgui/control_table.h"

#include "backends/imgui_impl_glut.h"
#include "imgui.h"

#include <cstdio>

control_window_row control_windows[max_control_windows];
spinner_row spinners[max_spinners];

void make_control_context(int w)
{
    control_window_row &row = control_windows[w];
    row = control_window_row();
    row.context = ImGui::CreateContext();
    ImGui::SetCurrentContext(row.context);
    ImGuiIO &io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    // ImGui's GLUT backend sets its key map (characters at their code, GLUT's
    // special keys from 256 up, the order input_queue keeps) and calls no
    // GLUT, so windows made without a window system get the same map.
    ImGui_ImplGLUT_Init();
    // The fitted window is the whole display: no safe-area margin, which
    // would otherwise cap the fitted size below the display size.
    ImGui::StyleColorsLight();
    ImGuiStyle &style = ImGui::GetStyle();
    style.DisplaySafeAreaPadding = ImVec2(0, 0);
    style.WindowRounding = 0.0f;
    style.WindowBorderSize = 0.0f;
    style.Colors[ImGuiCol_WindowBg].w = 1.0f;
    unsigned char *pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
}

int add_control_window_row()
{
    int w = add_window_row(nullptr);
    if (w >= 0)
        make_control_context(w);
    return w;
}

void add_spinner_widget(int spinner)
{
    spinner_row &row = spinners[spinner];
    row = spinner_row();
    std::snprintf(row.text, sizeof row.text, "%s", glui_spinners[spinner].shown);
}

// Each frame shows the live value in a field not being edited.
void show_spinner_value(int) {}

void clear_control_tables()
{
    // A row made by add_window_row alone has no context, and DestroyContext
    // of null would destroy the current one.
    for (int w = 0; w < glui_window_count; w++) {
        if (control_windows[w].context != nullptr)
            ImGui::DestroyContext(control_windows[w].context);
        control_windows[w] = control_window_row();
    }
    clear_glui_tables();
}
