// SPDX-License-Identifier: MIT
// What the page's record adds to a program's step, natively: the step alone
// beside the same step run as a page runs a burst's timer (page_timer), which
// counts it, measures the model and stores the row. The two alternate in one
// run, so that their ratio holds up on a busy machine.
#pragma once

#include "measure/run_record.h"
#include "web/page/page_description.h"
#include "web/page/run_steps.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

// The page's news of a step, which natively tells nobody. Each benchmark
// program includes this header once.
extern "C" void step_taken(int) {}

// Times step(value) both ways from the seed-1 start, for state's iterations.
// Counters: <alone_name> and recorded_us (µs per step), and ratio =
// recorded / alone.
inline void time_record_cost(benchmark::State &state, void (*step)(int), int value,
                             const std::string &alone_name)
{
    srand(1);
    restart_model();
    record_start(this_page.columns.count);
    using clock = std::chrono::steady_clock;
    std::chrono::duration<double, std::micro> alone{0}, recorded{0};
    for (auto _ : state) {
        const auto start = clock::now();
        step(value);
        const auto middle = clock::now();
        page_timer(step, value);
        const auto end = clock::now();
        alone += middle - start;
        recorded += end - middle;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters[alone_name] = alone.count() / n;
    state.counters["recorded_us"] = recorded.count() / n;
    state.counters["ratio"] = recorded.count() / alone.count();
}
