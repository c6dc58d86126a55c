// SPDX-License-Identifier: MIT
// The GLUT side of the desktop's control windows: creating them, their callbacks, the
// frames they draw, and the timer that repeats a held step button. The
// control window draws only when an event asks for it, plus a few follow-up
// frames, so a program at rest spends no CPU here.
#include "glui/imgui/backend.h"

#include "backends/imgui_impl_glut.h"
#include "backends/imgui_impl_opengl2.h"
#include "imgui.h"

#include <GL/freeglut.h>

#include <cfloat>
#include <cmath>

// After GLUT and ImGui: Xlib's macros (None, Bool, Status) would clash.
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace {

// Frames drawn after the last event: ImGui shows a click's effect (hover,
// active colour, the new value) only a frame or two after the input.
const int follow_up_frame_count = 3;
// Step-button repeat: the first repeat after this delay, then steadily.
const int repeat_delay_ms = 400;
const int repeat_interval_ms = 100;

// The control window row of the current GLUT window; -1 when the current
// window is not a control window.
int control_window_of_current_glut_window()
{
    int id = glutGetWindow();
    for (int w = 0; w < glui_window_count; w++)
        if (window_backends[w].glut_window == id)
            return w;
    return -1;
}

void make_imgui_context_current(int w)
{
    ImGui::SetCurrentContext(window_backends[w].context);
}

void request_frames(int w)
{
    window_backends[w].follow_up_frames = follow_up_frame_count;
    glutPostWindowRedisplay(window_backends[w].glut_window);
}

void repeat_step(int press)
{
    int s = held_step_spinner;
    if (s < 0 || held_step_press != press)
        return;
    int w = glui_spinners[s].window;
    if (!window_backends[w].left_button_down)
        return;
    step_spinner(s, held_step_direction);
    request_frames(w);
    glutTimerFunc(repeat_interval_ms, repeat_step, press);
}

void display_control_window()
{
    int w = control_window_of_current_glut_window();
    if (w < 0)
        return;
    make_imgui_context_current(w);
    window_backend &row = window_backends[w];
    bool more_input = apply_queued_input(w);
    int press_before = held_step_press;
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplGLUT_NewFrame();
    build_control_frame(w);
    ImGui::Render();
    ImVec4 bg = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
    ImGuiIO &io = ImGui::GetIO();
    glViewport(0, 0, static_cast<int>(io.DisplaySize.x), static_cast<int>(io.DisplaySize.y));
    glClearColor(bg.x, bg.y, bg.z, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    glutSwapBuffers();

    if (held_step_spinner >= 0 && held_step_press != press_before)
        glutTimerFunc(repeat_delay_ms, repeat_step, held_step_press);
    // The window takes the size the frame's widgets needed. glutGet would
    // report the old size until the window system has acted on a request,
    // so the request itself is remembered.
    int width = static_cast<int>(std::ceil(row.content_width));
    int height = static_cast<int>(std::ceil(row.content_height));
    if (width > 0 && height > 0 && (width != row.fitted_width || height != row.fitted_height)) {
        row.fitted_width = width;
        row.fitted_height = height;
        glutReshapeWindow(width, height);
    }
    if (more_input || row.follow_up_frames > 0) {
        if (!more_input)
            row.follow_up_frames--;
        glutPostRedisplay();
    }
}

// Every input event of a control window takes this path: queued for the
// window's frames, which it asks for. Moves carry no modifier state.
void take(input_kind kind, int code, bool down, float x, float y)
{
    int w = control_window_of_current_glut_window();
    if (w < 0)
        return;
    int mods = kind == mouse_move ? input_mods_unknown : glutGetModifiers();
    // GLUT gives the modifier state from before the event, which for a Shift,
    // Ctrl or Alt key itself is the state that key is changing. Releasing one
    // of two held Ctrl keys clears Ctrl until the next event brings the truth.
    // The keys come as Shift, Ctrl, Alt, each left then right, and their bits
    // GLUT_ACTIVE_SHIFT, _CTRL, _ALT are 1, 2, 4.
    if (kind == key_special && code >= GLUT_KEY_SHIFT_L && code <= GLUT_KEY_ALT_R) {
        int bit = 1 << ((code - GLUT_KEY_SHIFT_L) / 2);
        mods = down ? mods | bit : mods & ~bit;
    }
    if (kind == mouse_button && code == 0)
        window_backends[w].left_button_down = down;
    queue_input(w, input_event{kind, code, down, mods, x, y});
    request_frames(w);
}

} // namespace

window_backend window_backends[max_control_windows];

void (*request_main_redisplay)(int main_gfx_window) = glutPostWindowRedisplay;

void open_control_window(int w, const char *name, int x, int y)
{
    window_backend &row = window_backends[w];
    row = window_backend();
    row.context = ImGui::CreateContext();
    ImGui::SetCurrentContext(row.context);
    ImGuiIO &io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    // ImGui's GLUT backend sets its key map (characters at their code, GLUT's
    // special keys from 256 up, the order the input queue keeps); its
    // callbacks are left out (below).
    ImGui_ImplGLUT_Init();
    // The fitted window is the whole display: no safe-area margin, which
    // would otherwise cap the fitted size below the display size.
    ImGui::StyleColorsLight();
    ImGuiStyle &style = ImGui::GetStyle();
    style.DisplaySafeAreaPadding = ImVec2(0, 0);
    style.WindowRounding = 0.0f;
    style.WindowBorderSize = 0.0f;
    style.Colors[ImGuiCol_WindowBg].w = 1.0f;
    // The font atlas now, not in the renderer's first frame: tests draw without one.
    unsigned char *pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);

    int previous_window = glutGetWindow(), previous_mode = glutGet(GLUT_INIT_DISPLAY_MODE);
    int previous_x = glutGet(GLUT_INIT_WINDOW_X), previous_y = glutGet(GLUT_INIT_WINDOW_Y);
    int previous_w = glutGet(GLUT_INIT_WINDOW_WIDTH), previous_h = glutGet(GLUT_INIT_WINDOW_HEIGHT);

    // Larger than any spinner row, then shrunk to the measured contents
    // after the first frames: ImGui caps a fitted window at the display size.
    const int first_width = 400, first_height = 160;
    io.DisplaySize = ImVec2(first_width, first_height);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutInitWindowPosition(x, y);
    glutInitWindowSize(first_width, first_height);
    row.glut_window = glutCreateWindow(name);
    // The new window's context is current, so this is GLUT's own display,
    // whichever -display it was given; Xlib read its resources on opening it.
    Display *display = glXGetCurrentDisplay();
    apply_density(density_scale(display ? XResourceManagerString(display) : nullptr),
                  density_font_path);
    ImGui_ImplOpenGL2_Init();
    // ImGui's backend would install its callbacks on whatever window is
    // current; these are installed on the control window alone and feed
    // the queue that keeps quick clicks and key presses.
    glutDisplayFunc(display_control_window);
    glutReshapeFunc([](int width, int height) {
        int w = control_window_of_current_glut_window();
        if (w >= 0) {
            make_imgui_context_current(w);
            ImGui_ImplGLUT_ReshapeFunc(width, height);
            request_frames(w);
        }
    });
    // freeglut reports the wheel as buttons 3 and 4 when no wheel callback
    // claims it; the wheel callback takes it. ImGui numbers left, right, middle.
    glutMouseFunc([](int button, int state, int x, int y) {
        const int imgui_button[] = {0, 2, 1};
        if (button >= GLUT_LEFT_BUTTON && button <= GLUT_RIGHT_BUTTON)
            take(mouse_button, imgui_button[button], state == GLUT_DOWN, x, y);
    });
    auto move = [](int x, int y) { take(mouse_move, 0, false, x, y); };
    glutMotionFunc(move);
    glutPassiveMotionFunc(move);
    // Off-window on leaving, so that nothing stays highlighted under the pointer.
    glutEntryFunc([](int state) {
        if (state == GLUT_LEFT)
            take(mouse_move, 0, false, -FLT_MAX, -FLT_MAX);
    });
    glutMouseWheelFunc([](int wheel, int dir, int x, int y) {
        if (wheel == 0 && dir != 0) // wheel 1 scrolls sideways
            take(mouse_wheel, dir > 0 ? 1 : -1, true, x, y);
    });
    glutKeyboardFunc([](unsigned char c, int, int) { take(key_char, c, true, 0, 0); });
    glutKeyboardUpFunc([](unsigned char c, int, int) { take(key_char, c, false, 0, 0); });
    glutSpecialFunc([](int key, int, int) { take(key_special, key, true, 0, 0); });
    glutSpecialUpFunc([](int key, int, int) { take(key_special, key, false, 0, 0); });

    glutInitDisplayMode(static_cast<unsigned int>(previous_mode));
    glutInitWindowPosition(previous_x, previous_y);
    glutInitWindowSize(previous_w, previous_h);
    if (previous_window > 0)
        glutSetWindow(previous_window);
}
