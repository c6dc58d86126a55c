// SPDX-License-Identifier: MIT
// The cost of one redraw of fieldgrid's grid window with the OpenGL the machine has
// (Mesa's software renderer under Xvfb), glFinish included so that the
// rendering itself is timed, not just the queuing of the calls.
// Needs an X display: DISPLAY=:N build/bench/draw_bench
#include "fieldgrid/field_state.h"
#include "fieldgrid/viewer.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void BM_draw_field(benchmark::State &state)
{
    for (auto _ : state) {
        draw_field();
        glFinish();
    }
    state.counters["cells"] = 4096;
}
BENCHMARK(BM_draw_field)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (getenv("DISPLAY") == nullptr) {
        fprintf(stderr, "draw_bench: needs an X display (set DISPLAY)\n");
        return 1;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutCreateWindow("draw_bench");
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    srand(1);
    randomize_field();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
