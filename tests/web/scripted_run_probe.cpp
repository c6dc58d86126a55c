// SPDX-License-Identifier: MIT
// The native side of the web pages' scripted runs: the same runs, printed so
// that the browser tests and the web benchmark can compare.
//
//   scripted_run_probe field SEED FIRST ALPHA MORE   field_re after the run
//   scripted_run_probe spins SEED SWEEPS T           the lattice after it
//   scripted_run_probe time-steps COUNT [LANES]      mean microseconds per step,
//                                                    FFT lanes capped at LANES
//   scripted_run_probe time-sweeps COUNT T           mean microseconds per sweep
//
// A field is printed as 4096 lines of the doubles' bit patterns in
// hexadecimal (row-major), a lattice as 2500 lines of -1 or 1.
#include "fieldgrid/fft.h"
#include "fieldgrid/fft_private.h"
#include "fieldgrid/field_state.h"
#include "spingrid/lattice.h"
#include "tests/web/site/scripted_run.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static int usage()
{
    std::fprintf(stderr, "usage: scripted_run_probe field SEED FIRST ALPHA MORE | spins SEED "
                         "SWEEPS T | time-steps COUNT [LANES] | time-sweeps COUNT T\n");
    return 2;
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage();
    const char *what = argv[1];
    if (std::strcmp(what, "field") == 0 && argc == 6) {
        scripted_field_run(std::strtoul(argv[2], nullptr, 10), std::atoi(argv[3]),
                           std::strtof(argv[4], nullptr), std::atoi(argv[5]));
        for (double v : field_re) {
            std::uint64_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            std::printf("%016" PRIx64 "\n", bits);
        }
    } else if (std::strcmp(what, "spins") == 0 && argc == 5) {
        scripted_spin_run(std::strtoul(argv[2], nullptr, 10), std::atoi(argv[3]),
                          std::atoi(argv[4]));
        for (int i = 0; i < 50; i++)
            for (int j = 0; j < 50; j++)
                std::printf("%d\n", spins[i][j]);
    } else if (std::strcmp(what, "time-steps") == 0 && (argc == 3 || argc == 4)) {
        if (argc == 4)
            fft_max_lanes = std::atoi(argv[3]);
        scripted_field_run(1, 0, 1.5f, 0);
        std::printf("%.3f\n", time_field_steps(std::atoi(argv[2])));
    } else if (std::strcmp(what, "time-sweeps") == 0 && argc == 4) {
        scripted_spin_run(1, 0, 1);
        std::printf("%.3f\n", time_sweeps(std::atoi(argv[2]), std::atoi(argv[3])));
    } else {
        return usage();
    }
    return 0;
}
