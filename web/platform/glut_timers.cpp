// SPDX-License-Identifier: MIT
#include "web/platform/glut_timers.h"

#include <GL/freeglut.h>
#include <emscripten/eventloop.h>

static void run_callback(void (*callback)(int), int value)
{
    callback(value);
}

static void nothing() {}

void (*glut_timer_runner)(void (*)(int), int) = run_callback;
void (*glut_timer_set)() = nothing;

static int pending = 0;

namespace {
struct timer {
    void (*callback)(int);
    int value;
};
} // namespace

static void fire(void *data)
{
    timer due = *static_cast<timer *>(data);
    delete static_cast<timer *>(data);
    pending -= 1;
    glut_timer_runner(due.callback, due.value);
}

extern "C" void glutTimerFunc(unsigned int msec, void (*callback)(int), int value)
{
    pending += 1;
    // The browser runs timeouts of equal delay in the order they were set, as
    // GLUT's own timers do.
    emscripten_set_timeout(fire, msec, new timer{callback, value});
    glut_timer_set();
}

int glut_timers_pending()
{
    return pending;
}
