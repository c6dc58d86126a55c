// SPDX-License-Identifier: MIT
#include "tests/support/control_tables.h"

#include "backends/imgui_impl_opengl2.h"
#include "imgui.h"

int add_control_window_row()
{
    return GLUI_Master.create_glui("controls", 0, 475, 100)->slot;
}

void clear_control_tables()
{
    for (int w = 0; w < glui_window_count; w++) {
        ImGui::SetCurrentContext(window_backends[w].context);
        ImGui_ImplOpenGL2_Shutdown();
        ImGui::DestroyContext(window_backends[w].context);
    }
    glui_window_count = 0;
    glui_spinner_count = 0;
}

bool input_pending(int window)
{
    return window_backends[window].queued > 0;
}
