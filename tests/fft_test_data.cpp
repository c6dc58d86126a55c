// SPDX-License-Identifier: MIT
#include "tests/fft_test_data.h"

#include "fieldgrid/fft_private.h"

#include <cstring>
#include <random>

std::vector<double> random_values(std::size_t count, unsigned seed)
{
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> v(count);
    for (double &x : v)
        x = dist(gen);
    return v;
}

bool same_bits(const std::vector<double> &a, const std::vector<double> &b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

std::string use_lanes(int lanes)
{
    fft_max_lanes = lanes;
    if (fft_lanes_used() == lanes)
        return "";
    return "this processor has no " + std::to_string(lanes) + "-lane transform (" +
           (lanes == 8 ? "AVX-512F" : "AVX2") + "); its bits are not checked here";
}
