// First cut of the control-window layer: one ImGui context per control
// window, drawn with ImGui's GLUT and OpenGL2 backends.
#include "glui/glui.h"

#include "backends/imgui_impl_glut.h"
#include "backends/imgui_impl_opengl2.h"
#include "imgui.h"

#include <GL/freeglut.h>

namespace {

const int max_windows = 4;
const int max_spinners = 16;

struct window_row {
    GLUI handle;
    int glut_window;
    int main_gfx_window;
    ImGuiContext *context;
};

struct spinner_row {
    GLUI_Spinner handle;
    int window;
    int type;
    void *live;
    const char *label;
    double low, high;
};

window_row windows[max_windows];
int window_count = 0;
spinner_row spinners[max_spinners];
int spinner_count = 0;

int window_slot_of_current()
{
    int id = glutGetWindow();
    for (int w = 0; w < window_count; w++)
        if (windows[w].glut_window == id)
            return w;
    return -1;
}

void write_value(spinner_row &s, double v)
{
    if (v < s.low)
        v = s.low;
    if (v > s.high)
        v = s.high;
    if (s.type == GLUI_SPINNER_INT)
        *static_cast<int *>(s.live) = static_cast<int>(v);
    else
        *static_cast<float *>(s.live) = static_cast<float>(v);
    if (windows[s.window].main_gfx_window > 0)
        glutPostWindowRedisplay(windows[s.window].main_gfx_window);
}

void display_controls()
{
    int w = window_slot_of_current();
    if (w < 0)
        return;
    ImGui::SetCurrentContext(windows[w].context);
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplGLUT_NewFrame();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::Begin("##controls", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_AlwaysAutoResize);
    for (int k = 0; k < spinner_count; k++) {
        spinner_row &s = spinners[k];
        if (s.window != w)
            continue;
        ImGui::PushID(k);
        ImGui::TextUnformatted(s.label);
        ImGui::SameLine();
        ImGui::SetNextItemWidth(120);
        if (s.type == GLUI_SPINNER_INT) {
            int v = *static_cast<int *>(s.live);
            if (ImGui::InputInt("##v", &v, 1, 1, ImGuiInputTextFlags_EnterReturnsTrue))
                write_value(s, v);
        } else {
            float v = *static_cast<float *>(s.live);
            if (ImGui::InputFloat("##v", &v, 0.1f, 0.1f, "%g",
                                  ImGuiInputTextFlags_EnterReturnsTrue))
                write_value(s, v);
        }
        ImGui::PopID();
    }
    ImGui::End();
    ImGui::Render();
    ImGuiIO &io = ImGui::GetIO();
    glViewport(0, 0, static_cast<int>(io.DisplaySize.x), static_cast<int>(io.DisplaySize.y));
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    glutSwapBuffers();
}

void on_control_event()
{
    glutPostRedisplay();
}

void mouse_cb(int b, int s, int x, int y)
{
    ImGui_ImplGLUT_MouseFunc(b, s, x, y);
    on_control_event();
}
void motion_cb(int x, int y)
{
    ImGui_ImplGLUT_MotionFunc(x, y);
    on_control_event();
}
void key_cb(unsigned char c, int x, int y)
{
    ImGui_ImplGLUT_KeyboardFunc(c, x, y);
    on_control_event();
}
void key_up_cb(unsigned char c, int x, int y)
{
    ImGui_ImplGLUT_KeyboardUpFunc(c, x, y);
    on_control_event();
}
void special_cb(int k, int x, int y)
{
    ImGui_ImplGLUT_SpecialFunc(k, x, y);
    on_control_event();
}
void special_up_cb(int k, int x, int y)
{
    ImGui_ImplGLUT_SpecialUpFunc(k, x, y);
    on_control_event();
}
void reshape_cb(int w, int h)
{
    ImGui_ImplGLUT_ReshapeFunc(w, h);
    on_control_event();
}

} // namespace

GLUI_Master_Object GLUI_Master;

GLUI *GLUI_Master_Object::create_glui(const char *name, long, int x, int y)
{
    if (window_count == max_windows)
        return nullptr;
    int previous = glutGetWindow();
    window_row &row = windows[window_count];
    row.handle.slot = window_count;
    row.main_gfx_window = 0;
    row.context = ImGui::CreateContext();
    ImGui::SetCurrentContext(row.context);
    ImGui::GetIO().IniFilename = nullptr;
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutInitWindowPosition(x, y);
    glutInitWindowSize(260, 40);
    row.glut_window = glutCreateWindow(name);
    ImGui_ImplGLUT_Init();
    ImGui_ImplOpenGL2_Init();
    glutDisplayFunc(display_controls);
    glutReshapeFunc(reshape_cb);
    glutMouseFunc(mouse_cb);
    glutMotionFunc(motion_cb);
    glutPassiveMotionFunc(motion_cb);
    glutKeyboardFunc(key_cb);
    glutKeyboardUpFunc(key_up_cb);
    glutSpecialFunc(special_cb);
    glutSpecialUpFunc(special_up_cb);
    window_count++;
    if (previous > 0)
        glutSetWindow(previous);
    return &row.handle;
}

void GLUI::set_main_gfx_window(int window_id)
{
    windows[slot].main_gfx_window = window_id;
}

GLUI_Spinner *GLUI::add_spinner(const char *name, int data_type, void *live_var, int, GLUI_CB)
{
    if (spinner_count == max_spinners || live_var == nullptr)
        return nullptr;
    spinner_row &s = spinners[spinner_count];
    s.handle.slot = spinner_count;
    s.window = slot;
    s.type = data_type;
    s.live = live_var;
    s.label = name;
    s.low = -1e9;
    s.high = 1e9;
    spinner_count++;
    return &s.handle;
}

void GLUI_Spinner::set_int_limits(int low, int high, int)
{
    spinners[slot].low = low;
    spinners[slot].high = high;
}

void GLUI_Spinner::set_float_limits(float low, float high, int)
{
    spinners[slot].low = low;
    spinners[slot].high = high;
}
