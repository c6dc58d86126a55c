// SPDX-License-Identifier: MIT
// The main of the benchmarks that run the FFT: Google Benchmark's own flags,
// and --lanes=N, which caps the vector lanes of the 64-point transforms
// (fft_max_lanes), so that one machine measures each narrower path as well.
// The widest lanes the processor has, and the cap, are printed with the
// context.
#include "fieldgrid/fft_private.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--lanes=", 8) == 0) {
            fft_max_lanes = std::atoi(argv[i] + 8);
            continue;
        }
        argv[kept++] = argv[i];
    }
    argc = kept;
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("fft_lanes", std::to_string(fft_lanes_used()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
