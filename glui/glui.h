// SPDX-License-Identifier: MIT
// A small GLUI-compatible control layer: one interface, two backends.
//
// GLUI is not packaged for Debian, so the viewers draw their control window
// through this layer, which keeps GLUI's names, constants and call shapes so
// that the viewers' code compiles unchanged against the real library. The
// spinner's rules (reading typed text, limits, decimal steps, when an edit is
// committed) live once in glui/core/; a backend per platform draws the
// widgets and forwards their events: glui/imgui/ on the desktop (Dear ImGui
// on GLUT), glui/web/ in a web page (the page's own elements).
//
//   [X] GLUI_Master.create_glui(name, flags, x, y): a top-level window on the
//       desktop; on a page, a panel titled name beside the canvas
//   [X] GLUI::set_main_gfx_window(window): redisplay that window after a write
//   [X] GLUI::add_spinner(label, GLUI_SPINNER_INT or GLUI_SPINNER_FLOAT, &live, id)
//   [X] GLUI_Spinner::set_int_limits / set_float_limits with GLUI_LIMIT_CLAMP
//   [X] a spinner steps with its buttons (held: repeated), the wheel over it, and
//       Up and Down in its field; a float spinner by a tenth in decimal
//   [X] a desktop control window's size follows the screen density (Xft.dpi)
//   [ ] callbacks, panels, buttons, every other GLUI widget
#pragma once

#define GLUI_SPINNER_INT 2
#define GLUI_SPINNER_FLOAT 3

#define GLUI_LIMIT_NONE 0
#define GLUI_LIMIT_CLAMP 1
#define GLUI_LIMIT_WRAP 2

// A callback slot with GLUI's shape; this layer never calls it.
typedef void (*GLUI_Update_CB)(int id);
typedef GLUI_Update_CB GLUI_CB;

class GLUI_Spinner {
  public:
    // Limits for the live value. An integer spinner also clamps what it
    // shows; for a floating-point spinner the range becomes [low, high].
    void set_int_limits(int low, int high, int limit_type = GLUI_LIMIT_CLAMP);
    void set_float_limits(float low, float high, int limit_type = GLUI_LIMIT_CLAMP);

    int slot; // index into the layer's spinner table
};

class GLUI {
  public:
    // After every write of a live variable, glutPostWindowRedisplay(window)
    // (on a page, which has one canvas, glutPostRedisplay()).
    void set_main_gfx_window(int window_id);

    // A spinner bound to live_var (an int for GLUI_SPINNER_INT, a float for
    // GLUI_SPINNER_FLOAT); it shows the live value and writes committed values
    // back. The spinner keeps pointing at live_var, which must outlive it.
    GLUI_Spinner *add_spinner(const char *name, int data_type = GLUI_SPINNER_INT,
                              void *live_var = nullptr, int id = -1, GLUI_CB callback = GLUI_CB());

    int slot; // index into the layer's window table
};

class GLUI_Master_Object {
  public:
    // A new top-level control window titled name at screen position (x, y),
    // sized to its contents. flags is accepted and ignored, and so are x and
    // y on a page, where the panel goes into the element with id "controls"
    // or, without one, at the end of the body.
    GLUI *create_glui(const char *name, long flags = 0, int x = -1, int y = -1);
};

extern GLUI_Master_Object GLUI_Master;
