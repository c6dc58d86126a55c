// SPDX-License-Identifier: MIT
// A harness for tests that drive real windows on an X server: it opens the
// display, finds windows by title, reads their pixels, sends real input through
// the XTest extension, starts and stops programs, and waits for conditions
// with deadlines. It knows nothing of the programs under test.
//
// There is no window manager on the test server: windows appear where they ask
// to be and keyboard focus follows the pointer, so callers move the pointer
// over a window before typing into it.
#pragma once

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

// Stands in for pixels that lie off the screen, which cannot be read.
constexpr std::uint32_t off_screen_pixel = 0xff000000u;

// A window's pixels as 0xRRGGBB values, row by row from the top-left corner;
// off_screen_pixel where the window extends past the screen's edges.
struct picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
};

// Reads w's pixels (8 bits per channel), those on screen. False, leaving *out
// empty, when w is not viewable or has gone; X errors are caught, not fatal.
bool grab_picture(Display *d, Window w, picture *out);

// The pixel at (x, y), 0 <= x < width, 0 <= y < height.
std::uint32_t pixel_at(const picture &p, int x, int y);

bool same_picture(const picture &a, const picture &b);

// FNV-1a hash of size and pixels, for counting distinct pictures.
std::uint64_t picture_hash(const picture &p);

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

// Presses the key that produces sym, holds it input_hold_ms (calling pump)
// and releases it, with Shift held when the keymap has sym only on the
// shifted level. False when no key produces sym.
bool tap_key(Display *d, unsigned long sym, const std::function<void()> &pump = {});

// Presses (down) or releases the key that produces sym on its unshifted
// level, for chords such as Control_L with a. False when no key produces sym.
bool set_key(Display *d, unsigned long sym, bool down);

// Types text with tap_key; '\n' becomes Return. False when a character has no key.
bool type_text(Display *d, const std::string &text, const std::function<void()> &pump = {});

// ---- control windows ----

// A rectangle in window coordinates.
struct box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Solid boxes in p: connected regions of one colour at least min_side pixels
// on each side that fill at least 3/4 of their bounding rectangle (text drawn
// on a field or button leaves holes) and do not touch p's edges, which keeps
// backgrounds out. Sorted left to right. A spinner of the control-window
// layer shows up as its text field followed by its two step buttons.
std::vector<box> find_boxes(const picture &p, int min_side);

// ---- grid views ----

// Where a pixel falls in an n x n grid view: the window spans -1..1 on both
// axes, cells are 2/(n+2) wide, a margin one cell wide surrounds them, cell
// (i, j) counts i left to right and j bottom to top.
enum grid_part {
    grid_cell,   // inside cell (i, j), at least a pixel from its edges
    grid_margin, // in the margin, at least a pixel from the cells
    grid_edge,   // within a pixel of an edge: either colour is right
};

// The part of an n x n grid view in a width x height window that pixel
// (x, y) (from the top-left) falls in; sets *i and *j for grid_cell.
grid_part grid_part_at(int n, int width, int height, int x, int y, int *i, int *j);

// The pixel at the centre of cell (i, j) of that grid view.
void grid_cell_centre(int n, int width, int height, int i, int j, int *x, int *y);

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
