// SPDX-License-Identifier: MIT
// A long busy session with a real viewer built with AddressSanitizer:
//
//   busy_session fieldgrid|spingrid PROGRAM SECONDS REPORT_PREFIX
//
// Starts PROGRAM on the display in DISPLAY, presses left in its grid (20
// times for fieldgrid, 50 for spingrid, spread so that the bursts keep it
// busy for SECONDS), and meanwhile, every few seconds, types a value into
// the spinner and presses right in between. Then closes the grid window, so
// that the program exits and the leak check runs. The sanitizers write their
// reports to REPORT_PREFIX.PID (set through ASAN_OPTIONS and UBSAN_OPTIONS,
// which the caller fills with the suppressions for the X and Mesa libraries).
//
// Passes when no sanitizer report was written and the program exited with 0;
// the resident memory at the end is within 2 MB of where it stood just after
// the first burst started; every value of the model, read from the process's
// memory through /proc, is finite (fieldgrid) or a spin of +-1 (spingrid),
// and the grid shows only shades of red in a white margin; and each typed
// value is shown in the field, and stored, within typed_value_deadline_ms of
// Enter. That deadline catches a value lost or a program stuck, not a slow
// one: how long each value took to show is printed (every time, the median
// and the worst), as a benchmark would, and judged by whoever reads it.
#include "tests/support/grid_picture.h"
#include "tests/support/x11_harness.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct program_kind {
    const char *name;
    const char *control_title;
    int left_presses;
    int burst_ms; // how long one burst runs
    // Typed text and the text the field shows once it is committed: typing
    // the second plainly shows exactly that, which gives the picture to wait for.
    std::vector<std::pair<std::string, std::string>> values;
};

const program_kind fieldgrid_kind = {
    "fieldgrid",
    "alpha",
    20,
    50000,
    {{"2.50", "2.5"}, {"3.70", "3.7"}, {"9", "4"}, {"1.20", "1.2"}, {"0.5", "1"}, {"1.50", "1.5"}}};
const program_kind spingrid_kind = {
    "spingrid", "Temperature", 50, 10000, {{"2.0", "2"}, {"3e0", "3"}, {"7", "4"}, {"-5", "1"}}};

// Generous: a loaded machine running the sanitizers' build has been seen to
// take a third of a second.
const int typed_value_deadline_ms = 5000;

int failures = 0;

void fail(const std::string &why)
{
    std::fprintf(stderr, "busy_session: FAIL: %s\n", why.c_str());
    failures++;
}

// ---- the program's memory, read through /proc ----

// Where a global of the program lies in its address space: the symbol's
// value from nm plus the address the executable was loaded at.
unsigned long symbol_offset(const std::string &program, const std::string &symbol)
{
    std::string command = "nm --defined-only '" + program + "'";
    FILE *out = popen(command.c_str(), "r");
    unsigned long value = 0;
    char line[512];
    while (out != nullptr && std::fgets(line, sizeof line, out) != nullptr) {
        unsigned long v;
        char type, name[400];
        if (std::sscanf(line, "%lx %c %399s", &v, &type, name) == 3 && symbol == name)
            value = v;
    }
    if (out != nullptr)
        pclose(out);
    return value;
}

unsigned long load_address(pid_t pid, const std::string &program)
{
    char real[4096];
    std::string wanted = realpath(program.c_str(), real) != nullptr ? real : program;
    FILE *maps = std::fopen(("/proc/" + std::to_string(pid) + "/maps").c_str(), "r");
    unsigned long base = 0;
    char line[4600];
    while (base == 0 && maps != nullptr && std::fgets(line, sizeof line, maps) != nullptr) {
        unsigned long from, offset;
        char path[4096] = "";
        if (std::sscanf(line, "%lx-%*x %*s %lx %*s %*s %4095s", &from, &offset, path) >= 2 &&
            offset == 0 && wanted == path)
            base = from;
    }
    if (maps != nullptr)
        std::fclose(maps);
    return base;
}

struct remote_global {
    unsigned long address = 0;
    size_t bytes = 0;
};

bool read_remote(pid_t pid, const remote_global &g, void *into)
{
    int fd = open(("/proc/" + std::to_string(pid) + "/mem").c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    ssize_t got = pread(fd, into, g.bytes, off_t(g.address));
    close(fd);
    return got == ssize_t(g.bytes);
}

long resident_kb(pid_t pid)
{
    FILE *status = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    long kb = -1;
    char line[256];
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr)
        if (std::sscanf(line, "VmRSS: %ld", &kb) == 1)
            break;
    if (status != nullptr)
        std::fclose(status);
    return kb;
}

// ---- pictures ----

// Every cell centre a pure shade of red, every margin pixel white.
bool grid_shows_valid_shades(Display *d, Window grid, int cells)
{
    picture p;
    if (!grab_picture(d, grid, &p))
        return false;
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++) {
            int i, j;
            std::uint32_t c = pixel_at(p, x, y);
            grid_part part = grid_part_at(cells, p.width, p.height, x, y, &i, &j);
            if (c == off_screen_pixel)
                continue;
            if ((part == grid_margin && c != 0xffffff) || (part == grid_cell && (c & 0xffff) != 0))
                return false;
        }
    return true;
}

// The times typed values took from Enter to the field showing them, in the
// order typed, then their median and the worst.
void print_typed_times(const char *name, std::vector<double> ms)
{
    std::printf("busy_session %s: typed values shown after", name);
    for (double t : ms)
        std::printf(" %.0f", t);
    if (ms.empty()) {
        std::printf(" (none shown)\n");
        return;
    }
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf(" ms: median %.0f ms, worst %.0f ms\n", median, ms.back());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5 || (std::strcmp(argv[1], "fieldgrid") != 0 && std::strcmp(argv[1], "spingrid"))) {
        std::fprintf(stderr, "usage: busy_session fieldgrid|spingrid PROGRAM SECONDS PREFIX\n");
        return 2;
    }
    const program_kind &kind =
        std::strcmp(argv[1], "fieldgrid") == 0 ? fieldgrid_kind : spingrid_kind;
    const bool field = &kind == &fieldgrid_kind;
    const std::string program = argv[2];
    const double duration_ms = std::atof(argv[3]) * 1000.0;
    const std::string prefix = argv[4];

    std::string why;
    Display *d = open_test_display(&why);
    if (d == nullptr) {
        std::fprintf(stderr, "busy_session: %s\n", why.c_str());
        return 1;
    }
    if (find_window(d, program, 0) != 0) {
        std::fprintf(stderr, "busy_session: a window titled %s is already open\n", program.c_str());
        return 1;
    }
    pid_t pid = start_program(program);
    Window grid = wait_for_window(d, program, pid, 20000);
    Window controls = wait_for_window(d, kind.control_title, pid, 20000);
    box field_box, minus, plus;
    if (grid == 0 || controls == 0 || !find_spinner(d, controls, &field_box, &minus, &plus)) {
        std::fprintf(stderr, "busy_session: the program's windows did not appear\n");
        stop_program(pid);
        return 1;
    }
    const int cells = field ? 64 : 50;

    // The model's globals in the running program.
    unsigned long base = load_address(pid, program);
    remote_global model, live;
    model.address = base + symbol_offset(program, field ? "field_re" : "spins");
    model.bytes = field ? 4096 * sizeof(double) : 2500 * sizeof(int);
    live.address = base + symbol_offset(program, field ? "alpha" : "temperature");
    live.bytes = 4;
    remote_global steps; // fieldgrid counts its steps
    steps.address = field ? base + symbol_offset(program, "step_count") : 0;
    steps.bytes = 4;
    std::vector<double> bytes(4096); // room for either model
    auto model_sound = [&] {
        if (!read_remote(pid, model, bytes.data()))
            return false;
        if (field) {
            const double *values = reinterpret_cast<const double *>(bytes.data());
            return std::all_of(values, values + 4096, [](double v) { return std::isfinite(v); });
        }
        const int *spins = reinterpret_cast<const int *>(bytes.data());
        return std::all_of(spins, spins + 2500, [](int s) { return s == 1 || s == -1; });
    };
    auto live_value = [&] {
        unsigned char raw[4] = {};
        read_remote(pid, live, raw);
        float f;
        int i;
        std::memcpy(&f, raw, 4);
        std::memcpy(&i, raw, 4);
        return field ? double(f) : double(i);
    };
    if (base == 0 || !model_sound()) {
        std::fprintf(stderr, "busy_session: cannot read the program's model through /proc\n");
        stop_program(pid);
        return 1;
    }

    // The field's picture for each shown text, from typing that text plainly.
    auto field_picture = [&](picture *out) { return grab_part(d, controls, field_box, out); };
    auto enter_text = [&](const std::string &text) {
        click_box(d, controls, field_box, 1);
        type_text(d, text);
    };
    std::vector<picture> shown(kind.values.size());
    for (size_t v = 0; v < kind.values.size(); v++) {
        enter_text(kind.values[v].second + "\n");
        picture last;
        field_picture(&last);
        bool settled = wait_until(
            [&] {
                picture now;
                bool same = field_picture(&now) && same_picture(now, last);
                last = now;
                return same &&
                       stays_true([&] { return field_picture(&now) && same_picture(now, last); },
                                  300);
            },
            5000);
        shown[v] = last;
        if (!settled)
            fail("the field did not settle after typing " + kind.values[v].second);
    }
    for (size_t a = 0; a < shown.size(); a++)
        for (size_t b = a + 1; b < shown.size(); b++)
            if (same_picture(shown[a], shown[b]))
                fail("the field looks the same for " + kind.values[a].second + " and " +
                     kind.values[b].second);

    // Left presses spread so that the last burst ends as the session does.
    const double spacing =
        std::max(200.0, (duration_ms - kind.burst_ms) / std::max(1, kind.left_presses - 1));
    const double start = now_ms();
    int presses = 0, typed = 0, right_presses = 0;
    long baseline_kb = -1, peak_kb = 0;
    std::vector<double> typed_ms; // how long each typed value took to show
    double next_type = start + 1000, next_right = start + 2500;
    auto busy = [&] { return program_running(pid) && model_sound(); };
    while (now_ms() - start < duration_ms && program_running(pid)) {
        double t = now_ms();
        if (presses < kind.left_presses && t >= start + presses * spacing) {
            click_centre(d, grid, 1);
            presses++;
            if (presses == 1) {
                stays_true(busy, 500);
                baseline_kb = resident_kb(pid);
            }
        } else if (t >= next_type) {
            const auto &value = kind.values[typed % kind.values.size()];
            enter_text(value.first);
            double enter = now_ms();
            tap_key(d, XK_Return);
            picture now;
            const picture &want = shown[typed % kind.values.size()];
            bool seen = wait_until([&] { return field_picture(&now) && same_picture(now, want); },
                                   typed_value_deadline_ms, {}, 5);
            if (seen)
                typed_ms.push_back(now_ms() - enter);
            else
                fail("typed " + value.first + ": the field did not show " + value.second +
                     " within " + std::to_string(typed_value_deadline_ms) + " ms");
            if (live_value() != double(float(std::atof(value.second.c_str()))))
                fail("typed " + value.first + ": the live value is " +
                     std::to_string(live_value()));
            typed++;
            next_type = now_ms() + 3000;
        } else if (t >= next_right) {
            click_centre(d, grid, 3);
            right_presses++;
            next_right = next_type + 1500;
        } else {
            if (!stays_true(busy, 100))
                break;
            peak_kb = std::max(peak_kb, resident_kb(pid));
        }
    }
    long end_kb = resident_kb(pid);
    int step_count = -1;
    if (field)
        read_remote(pid, steps, &step_count);
    if (!program_running(pid))
        fail("the program ended during the session");
    if (!model_sound())
        fail(field ? "a field value is not finite" : "a spin is neither +1 nor -1");
    if (!grid_shows_valid_shades(d, grid, cells))
        fail("the grid shows something other than shades of red in a white margin");
    if (baseline_kb < 0 || std::labs(end_kb - baseline_kb) > 2048)
        fail("resident memory went from " + std::to_string(baseline_kb) + " kB to " +
             std::to_string(end_kb) + " kB");
    std::printf("busy_session %s: %.0f s, %d left presses, %d right presses, %d typed values, "
                "resident %ld kB after the first press, %ld kB peak, %ld kB at the end",
                kind.name, (now_ms() - start) / 1000.0, presses, right_presses, typed, baseline_kb,
                peak_kb, end_kb);
    if (field)
        std::printf(", %d steps taken", step_count);
    std::printf("\n");
    print_typed_times(kind.name, typed_ms);

    // Closing the grid window ends the program as a user would, so that the
    // leak check runs at its exit.
    XEvent close = {};
    close.xclient.type = ClientMessage;
    close.xclient.window = grid;
    close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    XSendEvent(d, grid, False, NoEventMask, &close);
    XFlush(d);
    int status = -1;
    bool exited = wait_until(
        [&] {
            pid_t r = waitpid(pid, &status, WNOHANG);
            return r == pid || (r < 0 && errno == ECHILD);
        },
        30000);
    if (!exited) {
        fail("the program did not exit when its grid window was closed");
        stop_program(pid);
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fail("the program exited with status " + std::to_string(status));
    }
    std::string report = prefix + "." + std::to_string(pid);
    if (FILE *f = std::fopen(report.c_str(), "r")) {
        char line[512];
        int shown_lines = 0;
        while (std::fgets(line, sizeof line, f) != nullptr && shown_lines++ < 60)
            std::fputs(line, stderr);
        std::fclose(f);
        fail("the sanitizers reported, in " + report);
    }
    XCloseDisplay(d);
    std::printf("%d passed, %d failed\n", failures == 0 ? 1 : 0, failures == 0 ? 0 : 1);
    return failures == 0 ? 0 : 1;
}
