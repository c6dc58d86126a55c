// SPDX-License-Identifier: MIT
#include "tests/fft_test_data.h"

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
