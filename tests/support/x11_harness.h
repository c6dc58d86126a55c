// SPDX-License-Identifier: MIT
// A harness for tests that drive real windows on an X server: it opens the
// display, finds windows by title, reads their pixels, sends real input through
// the XTest extension, starts and stops programs, and waits for conditions
// with deadlines. What the viewers' windows look like is in grid_picture.h
// and spinner_layout.h; find_spinner, at the end, looks for the spinner on the
// screen.
//
// There is no window manager on the test server: windows appear where they ask
// to be and keyboard focus follows the pointer, so callers move the pointer
// over a window before typing into it.
#pragma once

#include "tests/support/picture.h"

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- display ----

// Opens the display named by DISPLAY and checks for XTest. On failure returns
// nullptr and says why in *why (DISPLAY unset, server unreachable, no XTest).
Display *open_test_display(std::string *why);

// ---- waiting ----

// Milliseconds on a monotonic clock; only differences mean anything.
double now_ms();

// Polls done() every poll_ms, calling pump() (if given) before each poll,
// until done() is true or timeout_ms have passed. Returns done()'s last value.
// In-process tests pass glutMainLoopEvent as pump so GLUT keeps working.
bool wait_until(const std::function<bool()> &done, int timeout_ms,
                const std::function<void()> &pump = {}, int poll_ms = 20);

// Polls holds() the same way for duration_ms; false as soon as one poll says
// false, true when it held at every poll until the deadline.
bool stays_true(const std::function<bool()> &holds, int duration_ms,
                const std::function<void()> &pump = {}, int poll_ms = 20);

// ---- windows ----

// The window whose WM_NAME is title, searched depth-first through the whole
// tree under the root, or 0 when there is none. When pid > 0, a window whose
// _NET_WM_PID names another process is passed over; freeglut sets that
// property only under a window manager, so a window without it is accepted
// and callers check that the title was not in use before they started.
Window find_window(Display *d, const std::string &title, pid_t pid);

// Waits up to timeout_ms for find_window to succeed and the window to be
// viewable (mapped, with mapped ancestors). Returns 0 on timeout.
Window wait_for_window(Display *d, const std::string &title, pid_t pid, int timeout_ms,
                       const std::function<void()> &pump = {});

// The _NET_WM_PID property of w, or -1 when it is missing.
long window_pid(Display *d, Window w);

// Size, screen position of the top-left corner, and viewability of w.
// False when the window no longer exists.
struct window_info {
    int width = 0;
    int height = 0;
    int root_x = 0;
    int root_y = 0;
    bool viewable = false;
};
bool get_window_info(Display *d, Window w, window_info *info);

// ---- pixels ----

// Reads w's pixels (8 bits per channel), those on screen. False, leaving *out
// empty, when w is not viewable or has gone; X errors are caught, not fatal.
bool grab_picture(Display *d, Window w, picture *out);

// The part b (in w's coordinates, within w) of w's pixels, as grab_picture
// reads them.
bool grab_part(Display *d, Window w, const box &b, picture *out);

// ---- input (XTest; each call ends with XFlush) ----

// How long click and tap_key hold a button or key down, as a person would.
// The control-window layer samples button and key state once per frame, so
// a press and release handled in one batch of events would go unseen.
constexpr int input_hold_ms = 50;

// Moves the pointer to (x, y) in w's coordinates.
void move_pointer(Display *d, Window w, int x, int y);

// Moves to (x, y) in w, then presses or releases button (1 left, 2 middle,
// 3 right; 4 and 5 are a notch of the wheel up and down) there.
void press_button(Display *d, Window w, int x, int y, unsigned button);
void release_button(Display *d, unsigned button);

// press_button, input_hold_ms of pump() calls (if given), release_button.
void click(Display *d, Window w, int x, int y, unsigned button,
           const std::function<void()> &pump = {});

// Clicks in the middle of box b of w, and in the middle of all of w (the
// viewers' grid windows take presses anywhere). False when w has gone.
void click_box(Display *d, Window w, const box &b, unsigned button,
               const std::function<void()> &pump = {});
bool click_centre(Display *d, Window w, unsigned button, const std::function<void()> &pump = {});

// Presses the key that produces sym, holds it input_hold_ms (calling pump)
// and releases it, with Shift held when the keymap has sym only on the
// shifted level. False when no key produces sym.
bool tap_key(Display *d, unsigned long sym, const std::function<void()> &pump = {});

// Presses (down) or releases the key that produces sym on its unshifted
// level, for chords such as Control_L with a. False when no key produces sym.
bool set_key(Display *d, unsigned long sym, bool down);

// Types text with tap_key; '\n' becomes Return. False when a character has no key.
bool type_text(Display *d, const std::string &text, const std::function<void()> &pump = {});

// ---- programs ----

// Starts path as a child process with argv {path, args...}; standard streams
// are inherited. Returns its pid, or -1 when fork fails (exec failure makes
// the child exit with status 127).
pid_t start_program(const std::string &path, const std::vector<std::string> &args = {});

// True while the child pid has not exited; reaps it once it has.
bool program_running(pid_t pid);

// Ends the child pid: SIGTERM, up to timeout_ms for it to exit, then SIGKILL,
// and reaps it. Does nothing for pid <= 0 or a child already reaped.
void stop_program(pid_t pid, int timeout_ms = 2000);

// ---- the control window's spinner ----

// Waits up to 5 s for the control window w to show a spinner and sets its
// text field and its - and + buttons, in w's coordinates. The pointer is
// moved over w meanwhile: focus follows it, and the window draws its widgets
// only once it has events. pump runs between polls (glutMainLoopEvent for a
// program in the test process).
bool find_spinner(Display *d, Window w, box *field, box *minus, box *plus,
                  const std::function<void()> &pump = {});
