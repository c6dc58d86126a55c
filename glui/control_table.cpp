// SPDX-License-Identifier: MIT
#include "glui/control_table.h"

#include "glui/spinner_value.h"
#include "imgui.h"

#include <cstdio>

control_window_row control_windows[max_control_windows];
int control_window_count = 0;
spinner_row spinners[max_spinners];
int spinner_count = 0;

// Defined with the GLUT glue, which owns every call into GLUT.
void post_window_redisplay(int main_gfx_window);

void (*request_main_redisplay)(int main_gfx_window) = post_window_redisplay;

int add_control_window_row()
{
    if (control_window_count == max_control_windows)
        return -1;
    int w = control_window_count++;
    control_window_row &row = control_windows[w];
    row = control_window_row();
    row.handle.slot = w;
    row.context = ImGui::CreateContext();
    ImGui::SetCurrentContext(row.context);
    ImGuiIO &io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    // The same key indices as ImGui's GLUT backend: characters at their
    // code, GLUT's special keys from 256 up.
    io.KeyMap[ImGuiKey_Tab] = '\t';
    io.KeyMap[ImGuiKey_LeftArrow] = 256 + 100;
    io.KeyMap[ImGuiKey_UpArrow] = 256 + 101;
    io.KeyMap[ImGuiKey_RightArrow] = 256 + 102;
    io.KeyMap[ImGuiKey_DownArrow] = 256 + 103;
    io.KeyMap[ImGuiKey_PageUp] = 256 + 104;
    io.KeyMap[ImGuiKey_PageDown] = 256 + 105;
    io.KeyMap[ImGuiKey_Home] = 256 + 106;
    io.KeyMap[ImGuiKey_End] = 256 + 107;
    io.KeyMap[ImGuiKey_Insert] = 256 + 108;
    io.KeyMap[ImGuiKey_Delete] = 127;
    io.KeyMap[ImGuiKey_Backspace] = 8;
    io.KeyMap[ImGuiKey_Space] = ' ';
    io.KeyMap[ImGuiKey_Enter] = 13;
    io.KeyMap[ImGuiKey_Escape] = 27;
    io.KeyMap[ImGuiKey_KeyPadEnter] = 13;
    io.KeyMap[ImGuiKey_A] = 'A';
    io.KeyMap[ImGuiKey_C] = 'C';
    io.KeyMap[ImGuiKey_V] = 'V';
    io.KeyMap[ImGuiKey_X] = 'X';
    io.KeyMap[ImGuiKey_Y] = 'Y';
    io.KeyMap[ImGuiKey_Z] = 'Z';
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
    return w;
}

int add_spinner_row(int window, const char *label, int data_type, void *live)
{
    if (spinner_count == max_spinners || window < 0 || window >= control_window_count ||
        live == nullptr || (data_type != GLUI_SPINNER_INT && data_type != GLUI_SPINNER_FLOAT))
        return -1;
    int s = spinner_count++;
    spinner_row &row = spinners[s];
    row = spinner_row();
    row.handle.slot = s;
    row.window = window;
    row.data_type = data_type;
    row.live = live;
    std::snprintf(row.label, sizeof row.label, "%s", label ? label : "");
    row.limit_type = GLUI_LIMIT_NONE;
    row.low = 0.0;
    row.high = 0.0;
    format_spinner_value(live_spinner_value(s), data_type, row.text, sizeof row.text);
    return s;
}

void set_spinner_limits(int spinner, double low, double high, int limit_type)
{
    spinner_row &row = spinners[spinner];
    if (low > high) {
        double t = low;
        low = high;
        high = t;
    }
    row.low = low;
    row.high = high;
    row.limit_type = limit_type;
    double v = live_spinner_value(spinner);
    if (limit_spinner_value(v, row.data_type, limit_type, low, high) != v)
        write_spinner_value(spinner, v);
}

double live_spinner_value(int spinner)
{
    const spinner_row &row = spinners[spinner];
    if (row.data_type == GLUI_SPINNER_INT)
        return *static_cast<int *>(row.live);
    return static_cast<double>(*static_cast<float *>(row.live));
}

void write_spinner_value(int spinner, double value)
{
    spinner_row &row = spinners[spinner];
    double v = limit_spinner_value(value, row.data_type, row.limit_type, row.low, row.high);
    if (row.data_type == GLUI_SPINNER_INT)
        *static_cast<int *>(row.live) = static_cast<int>(v);
    else
        *static_cast<float *>(row.live) = static_cast<float>(v);
    int main_gfx_window = control_windows[row.window].main_gfx_window;
    if (main_gfx_window > 0 && request_main_redisplay != nullptr)
        request_main_redisplay(main_gfx_window);
}

bool commit_spinner_text(int spinner, const char *text)
{
    const spinner_row &row = spinners[spinner];
    double v = 0.0;
    if (!committed_spinner_value(text, row.data_type, row.limit_type, row.low, row.high, &v))
        return false;
    write_spinner_value(spinner, v);
    return true;
}

void step_spinner(int spinner, int direction)
{
    double value = live_spinner_value(spinner);
    write_spinner_value(spinner,
                        stepped_spinner_value(value, spinners[spinner].data_type, direction));
}

void clear_control_tables()
{
    for (int w = 0; w < control_window_count; w++)
        ImGui::DestroyContext(control_windows[w].context);
    control_window_count = 0;
    spinner_count = 0;
}
