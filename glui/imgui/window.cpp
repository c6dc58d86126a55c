// SPDX-License-Identifier: MIT
// The GLUT side of the desktop's control windows: creating them, their callbacks, the
// frames they draw, and the timer that repeats a held step button. The
// control window draws only when an event asks for it, plus a few follow-up
// frames, so a program at rest spends no CPU here.
#include "glui/glui.h"
#include "glui/imgui/control_frame.h"
#include "glui/imgui/control_table.h"
#include "glui/imgui/input_queue.h"
#include "glui/imgui/screen_density.h"

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

bool left_button_down[max_control_windows];

// The control window row of the current GLUT window, made the current ImGui
// context; -1 when the current window is not a control window.
int current_control_window()
{
    int id = glutGetWindow();
    for (int w = 0; w < glui_window_count; w++)
        if (control_windows[w].glut_window == id) {
            ImGui::SetCurrentContext(control_windows[w].context);
            return w;
        }
    return -1;
}

void request_frames(int w)
{
    control_windows[w].follow_up_frames = follow_up_frame_count;
    glutPostWindowRedisplay(control_windows[w].glut_window);
}

void repeat_step(int press)
{
    int s = held_step_spinner;
    if (s < 0 || held_step_press != press)
        return;
    int w = glui_spinners[s].window;
    if (!left_button_down[w])
        return;
    step_spinner(s, held_step_direction);
    request_frames(w);
    glutTimerFunc(repeat_interval_ms, repeat_step, press);
}

// Sizes the GLUT window to what the last frame's widgets needed.
void fit_window(int w)
{
    int width = static_cast<int>(std::ceil(control_windows[w].content_width));
    int height = static_cast<int>(std::ceil(control_windows[w].content_height));
    if (width <= 0 || height <= 0)
        return;
    // glutGet would report the old size until the window system has acted
    // on a request, so the request itself is remembered.
    control_window_row &row = control_windows[w];
    if (width != row.fitted_width || height != row.fitted_height) {
        row.fitted_width = width;
        row.fitted_height = height;
        glutReshapeWindow(width, height);
    }
}

void display_control_window()
{
    int w = current_control_window();
    if (w < 0)
        return;
    control_window_row &row = control_windows[w];
    glutSetWindow(row.glut_window);
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
    fit_window(w);
    if (more_input) {
        glutPostRedisplay();
    } else if (row.follow_up_frames > 0) {
        row.follow_up_frames--;
        glutPostRedisplay();
    }
}

void on_reshape(int width, int height)
{
    int w = current_control_window();
    if (w < 0)
        return;
    ImGui_ImplGLUT_ReshapeFunc(width, height);
    request_frames(w);
}

int imgui_button(int glut_button)
{
    switch (glut_button) {
    case GLUT_LEFT_BUTTON:
        return 0;
    case GLUT_RIGHT_BUTTON:
        return 1;
    case GLUT_MIDDLE_BUTTON:
        return 2;
    default:
        return -1;
    }
}

void on_mouse(int glut_button, int state, int x, int y)
{
    int w = current_control_window();
    if (w < 0)
        return;
    int button = imgui_button(glut_button);
    if (button < 0) {
        // freeglut reports the wheel as buttons 3 and 4 when no wheel
        // callback claims it; the wheel callback below handles it.
        return;
    }
    bool down = state == GLUT_DOWN;
    if (button == 0)
        left_button_down[w] = down;
    queue_mouse_button(w, button, down, static_cast<float>(x), static_cast<float>(y),
                       glutGetModifiers());
    request_frames(w);
}

void on_motion(int x, int y)
{
    int w = current_control_window();
    if (w < 0)
        return;
    queue_mouse_move(w, static_cast<float>(x), static_cast<float>(y));
    request_frames(w);
}

void on_entry(int state)
{
    int w = current_control_window();
    if (w < 0 || state != GLUT_LEFT)
        return;
    // Off-window, so that nothing stays highlighted under a pointer that left.
    queue_mouse_move(w, -FLT_MAX, -FLT_MAX);
    request_frames(w);
}

void on_wheel(int wheel, int dir, int x, int y)
{
    int w = current_control_window();
    if (w < 0 || wheel != 0 || dir == 0) // wheel 1 scrolls sideways
        return;
    queue_mouse_wheel(w, dir > 0 ? 1 : -1, static_cast<float>(x), static_cast<float>(y),
                      glutGetModifiers());
    request_frames(w);
}

void on_key(unsigned char c, int, int)
{
    int w = current_control_window();
    if (w < 0)
        return;
    queue_key_char(w, c, true, glutGetModifiers());
    request_frames(w);
}

void on_key_up(unsigned char c, int, int)
{
    int w = current_control_window();
    if (w < 0)
        return;
    queue_key_char(w, c, false, glutGetModifiers());
    request_frames(w);
}

// GLUT gives the modifier state from before the event, which for a Shift,
// Ctrl or Alt key itself is the state that key is changing. Releasing one of
// two held Ctrl keys clears Ctrl until the next event brings the truth.
int modifiers_after_special(int key, bool down)
{
    int bit = 0;
    if (key == GLUT_KEY_SHIFT_L || key == GLUT_KEY_SHIFT_R)
        bit = GLUT_ACTIVE_SHIFT;
    else if (key == GLUT_KEY_CTRL_L || key == GLUT_KEY_CTRL_R)
        bit = GLUT_ACTIVE_CTRL;
    else if (key == GLUT_KEY_ALT_L || key == GLUT_KEY_ALT_R)
        bit = GLUT_ACTIVE_ALT;
    int mods = glutGetModifiers();
    return down ? mods | bit : mods & ~bit;
}

void on_special(int key, int, int)
{
    int w = current_control_window();
    if (w < 0)
        return;
    queue_key_special(w, key, true, modifiers_after_special(key, true));
    request_frames(w);
}

void on_special_up(int key, int, int)
{
    int w = current_control_window();
    if (w < 0)
        return;
    queue_key_special(w, key, false, modifiers_after_special(key, false));
    request_frames(w);
}

} // namespace

void post_main_redisplay(int main_gfx_window)
{
    glutPostWindowRedisplay(main_gfx_window);
}

bool open_control_window(int w, int x, int y)
{
    make_control_context(w);
    control_window_row &row = control_windows[w];
    int previous_window = glutGetWindow();
    int previous_mode = glutGet(GLUT_INIT_DISPLAY_MODE);
    int previous_x = glutGet(GLUT_INIT_WINDOW_X), previous_y = glutGet(GLUT_INIT_WINDOW_Y);
    int previous_w = glutGet(GLUT_INIT_WINDOW_WIDTH);
    int previous_h = glutGet(GLUT_INIT_WINDOW_HEIGHT);

    // Larger than any spinner row, then shrunk to the measured contents
    // after the first frames: ImGui caps a fitted window at the display size.
    const int first_width = 400, first_height = 160;
    ImGui::GetIO().DisplaySize = ImVec2(first_width, first_height);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutInitWindowPosition(x, y);
    glutInitWindowSize(first_width, first_height);
    row.glut_window = glutCreateWindow(glui_windows[w].name);
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
    glutReshapeFunc(on_reshape);
    glutMouseFunc(on_mouse);
    glutMotionFunc(on_motion);
    glutPassiveMotionFunc(on_motion);
    glutEntryFunc(on_entry);
    glutMouseWheelFunc(on_wheel);
    glutKeyboardFunc(on_key);
    glutKeyboardUpFunc(on_key_up);
    glutSpecialFunc(on_special);
    glutSpecialUpFunc(on_special_up);

    glutInitDisplayMode(static_cast<unsigned int>(previous_mode));
    glutInitWindowPosition(previous_x, previous_y);
    glutInitWindowSize(previous_w, previous_h);
    if (previous_window > 0)
        glutSetWindow(previous_window);
    return true;
}
