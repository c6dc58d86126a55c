// SPDX-License-Identifier: MIT
#include "tests/support/x11_harness.h"
#include "tests/support/spinner_layout.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

Display *open_test_display(std::string *why)
{
    const char *name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        *why = "DISPLAY is not set: window tests need an X server (test.sh starts Xvfb)";
        return nullptr;
    }
    Display *d = XOpenDisplay(name);
    if (d == nullptr) {
        *why = std::string("cannot open X display ") + name;
        return nullptr;
    }
    int event_base, error_base, major, minor;
    if (!XTestQueryExtension(d, &event_base, &error_base, &major, &minor)) {
        XCloseDisplay(d);
        *why = std::string("X display ") + name + " has no XTest extension";
        return nullptr;
    }
    return d;
}

// ---- waiting ----

double now_ms()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

static void poll_pause(int poll_ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(poll_ms));
}

bool wait_until(const std::function<bool()> &done, int timeout_ms,
                const std::function<void()> &pump, int poll_ms)
{
    double deadline = now_ms() + timeout_ms;
    for (;;) {
        if (pump)
            pump();
        if (done())
            return true;
        if (now_ms() >= deadline)
            return false;
        poll_pause(poll_ms);
    }
}

bool stays_true(const std::function<bool()> &holds, int duration_ms,
                const std::function<void()> &pump, int poll_ms)
{
    return !wait_until([&] { return !holds(); }, duration_ms, pump, poll_ms);
}

// ---- X errors ----

// Windows of another process can vanish between two requests; Xlib's default
// handler would end the test process on the resulting BadWindow or BadMatch.
// While a checked request runs, errors on the harness's own connection are
// recorded instead; errors on other connections (GLUT's, in-process) go on to
// whatever handler was installed before.
static Display *checked_display = nullptr;
static int checked_error = 0;
static XErrorHandler previous_handler = nullptr;

static int record_error(Display *d, XErrorEvent *e)
{
    if (d == checked_display) {
        checked_error = e->error_code;
        return 0;
    }
    return previous_handler != nullptr ? previous_handler(d, e) : 0;
}

static void begin_checked(Display *d)
{
    XSync(d, False);
    checked_display = d;
    checked_error = 0;
    previous_handler = XSetErrorHandler(record_error);
}

// True when no error arrived since begin_checked.
static bool end_checked(Display *d)
{
    XSync(d, False);
    XSetErrorHandler(previous_handler);
    checked_display = nullptr;
    return checked_error == 0;
}

// ---- windows ----

long window_pid(Display *d, Window w)
{
    Atom pid_atom = XInternAtom(d, "_NET_WM_PID", True);
    if (pid_atom == None)
        return -1;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    long pid = -1;
    begin_checked(d);
    int status = XGetWindowProperty(d, w, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format,
                                    &count, &after, &data);
    bool ok = end_checked(d);
    if (ok && status == Success && data != nullptr && format == 32 && count == 1)
        pid = static_cast<long>(*reinterpret_cast<unsigned long *>(data));
    if (data != nullptr)
        XFree(data);
    return pid;
}

static bool title_is(Display *d, Window w, const std::string &title)
{
    char *name = nullptr;
    begin_checked(d);
    Status got = XFetchName(d, w, &name);
    bool ok = end_checked(d);
    bool match = ok && got != 0 && name != nullptr && title == name;
    if (name != nullptr)
        XFree(name);
    return match;
}

static Window search_tree(Display *d, Window w, const std::string &title, pid_t pid)
{
    if (title_is(d, w, title)) {
        long owner = pid > 0 ? window_pid(d, w) : -1;
        if (owner < 0 || owner == pid)
            return w;
    }
    Window root, parent;
    Window *children = nullptr;
    unsigned int count = 0;
    begin_checked(d);
    Status got = XQueryTree(d, w, &root, &parent, &children, &count);
    bool ok = end_checked(d);
    Window found = 0;
    if (ok && got != 0)
        for (unsigned int k = 0; k < count && found == 0; k++)
            found = search_tree(d, children[k], title, pid);
    if (children != nullptr)
        XFree(children);
    return found;
}

Window find_window(Display *d, const std::string &title, pid_t pid)
{
    return search_tree(d, DefaultRootWindow(d), title, pid);
}

bool get_window_info(Display *d, Window w, window_info *info)
{
    XWindowAttributes attributes;
    Window child;
    begin_checked(d);
    Status got = XGetWindowAttributes(d, w, &attributes);
    bool ok = end_checked(d) && got != 0;
    if (ok) {
        begin_checked(d);
        XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &info->root_x, &info->root_y,
                              &child);
        ok = end_checked(d);
    }
    if (!ok)
        return false;
    info->width = attributes.width;
    info->height = attributes.height;
    info->viewable = attributes.map_state == IsViewable;
    return true;
}

Window wait_for_window(Display *d, const std::string &title, pid_t pid, int timeout_ms,
                       const std::function<void()> &pump)
{
    Window found = 0;
    wait_until(
        [&] {
            found = find_window(d, title, pid);
            window_info info;
            return found != 0 && get_window_info(d, found, &info) && info.viewable;
        },
        timeout_ms, pump);
    window_info info;
    if (found != 0 && get_window_info(d, found, &info) && info.viewable)
        return found;
    return 0;
}

// ---- pixels ----

// Scales the channel selected by mask to 0..255.
static std::uint32_t channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        shift++;
    unsigned long max = mask >> shift;
    unsigned long value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>(value * 255 / max);
}

bool grab_picture(Display *d, Window w, picture *out)
{
    *out = picture();
    window_info info;
    XWindowAttributes attributes;
    begin_checked(d);
    Status got = XGetWindowAttributes(d, w, &attributes);
    if (!end_checked(d) || got == 0 || !get_window_info(d, w, &info) || !info.viewable)
        return false;
    // XGetImage fails on a rectangle that is not all on screen, and a window
    // without a requested position sits at (-1, -1): read the visible part.
    int x0 = std::max(0, -info.root_x);
    int y0 = std::max(0, -info.root_y);
    int x1 = std::min(info.width, DisplayWidth(d, DefaultScreen(d)) - info.root_x);
    int y1 = std::min(info.height, DisplayHeight(d, DefaultScreen(d)) - info.root_y);
    if (x1 <= x0 || y1 <= y0)
        return false;
    begin_checked(d);
    XImage *image = XGetImage(d, w, x0, y0, static_cast<unsigned>(x1 - x0),
                              static_cast<unsigned>(y1 - y0), AllPlanes, ZPixmap);
    bool ok = end_checked(d) && image != nullptr;
    if (!ok) {
        if (image != nullptr)
            XDestroyImage(image);
        return false;
    }
    const Visual *visual = attributes.visual;
    out->width = info.width;
    out->height = info.height;
    out->rgb.assign(static_cast<std::size_t>(out->width) * out->height, off_screen_pixel);
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            unsigned long pixel = XGetPixel(image, x - x0, y - y0);
            out->rgb[static_cast<std::size_t>(y) * out->width + x] =
                channel(pixel, visual->red_mask) << 16 | channel(pixel, visual->green_mask) << 8 |
                channel(pixel, visual->blue_mask);
        }
    XDestroyImage(image);
    return true;
}

bool grab_part(Display *d, Window w, const box &b, picture *out)
{
    picture whole;
    if (!grab_picture(d, w, &whole))
        return false;
    *out = crop(whole, b);
    return true;
}

// ---- input ----

void move_pointer(Display *d, Window w, int x, int y)
{
    int root_x = 0, root_y = 0;
    Window child;
    begin_checked(d);
    XTranslateCoordinates(d, w, DefaultRootWindow(d), x, y, &root_x, &root_y, &child);
    end_checked(d);
    XTestFakeMotionEvent(d, DefaultScreen(d), root_x, root_y, CurrentTime);
    XFlush(d);
}

void press_button(Display *d, Window w, int x, int y, unsigned button)
{
    move_pointer(d, w, x, y);
    XTestFakeButtonEvent(d, button, True, CurrentTime);
    XFlush(d);
}

void release_button(Display *d, unsigned button)
{
    XTestFakeButtonEvent(d, button, False, CurrentTime);
    XFlush(d);
}

// Keeps a button or key down for input_hold_ms while the caller's event loop
// (if any) runs; this is the length of the press, not a wait for a result.
static void hold_input(const std::function<void()> &pump)
{
    stays_true([] { return true; }, input_hold_ms, pump, 5);
}

void click(Display *d, Window w, int x, int y, unsigned button, const std::function<void()> &pump)
{
    press_button(d, w, x, y, button);
    hold_input(pump);
    release_button(d, button);
}

void click_box(Display *d, Window w, const box &b, unsigned button,
               const std::function<void()> &pump)
{
    click(d, w, b.x + b.width / 2, b.y + b.height / 2, button, pump);
}

bool click_centre(Display *d, Window w, unsigned button, const std::function<void()> &pump)
{
    window_info info;
    if (!get_window_info(d, w, &info))
        return false;
    click(d, w, info.width / 2, info.height / 2, button, pump);
    return true;
}

bool tap_key(Display *d, unsigned long sym, const std::function<void()> &pump)
{
    KeyCode code = XKeysymToKeycode(d, sym);
    if (code == 0)
        return false;
    // XKeysymToKeycode also finds keysyms on the shifted level ('+' on the
    // '=' key of a US layout); those need Shift held to come out as sym.
    bool shifted =
        XkbKeycodeToKeysym(d, code, 0, 0) != sym && XkbKeycodeToKeysym(d, code, 0, 1) == sym;
    KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
    if (shifted)
        XTestFakeKeyEvent(d, shift, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XFlush(d);
    hold_input(pump);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shifted)
        XTestFakeKeyEvent(d, shift, False, CurrentTime);
    XFlush(d);
    return true;
}

bool set_key(Display *d, unsigned long sym, bool down)
{
    KeyCode code = XKeysymToKeycode(d, sym);
    if (code == 0)
        return false;
    XTestFakeKeyEvent(d, code, down ? True : False, CurrentTime);
    XFlush(d);
    return true;
}

bool type_text(Display *d, const std::string &text, const std::function<void()> &pump)
{
    for (char c : text) {
        // Latin-1 characters are their own keysyms.
        unsigned long sym = c == '\n' ? XK_Return : static_cast<unsigned char>(c);
        if (!tap_key(d, sym, pump))
            return false;
    }
    return true;
}

// ---- programs ----

pid_t start_program(const std::string &path, const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(path.c_str()));
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

bool program_running(pid_t pid)
{
    if (pid <= 0)
        return false;
    int status;
    pid_t r = waitpid(pid, &status, WNOHANG);
    return r == 0;
}

void stop_program(pid_t pid, int timeout_ms)
{
    // A reaped pid may already belong to someone else: only signal a child
    // that waitpid still knows as ours and running.
    if (!program_running(pid))
        return;
    kill(pid, SIGTERM);
    if (wait_until([pid] { return !program_running(pid); }, timeout_ms))
        return;
    kill(pid, SIGKILL);
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// ---- the control window's spinner ----

bool find_spinner(Display *d, Window w, box *field, box *minus, box *plus,
                  const std::function<void()> &pump)
{
    std::vector<box> boxes;
    picture p;
    int moves = 0;
    bool drawn = wait_until(
        [&] {
            move_pointer(d, w, 2 + moves % 2, 2);
            moves++;
            boxes = grab_picture(d, w, &p) ? find_boxes(p, 8) : boxes;
            return boxes.size() >= 3;
        },
        5000, pump);
    return drawn && spinner_of(boxes, field, minus, plus);
}
