// SPDX-License-Identifier: MIT
// What the FFT tests share: random input, a comparison bit for bit, and the
// choice of a lane width.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// count doubles drawn uniformly from [-1, 1); the same seed gives the same
// values on every call.
std::vector<double> random_values(std::size_t count, unsigned seed);

// True when a and b have the same length and the same bit patterns, element
// by element: -0 differs from +0, and a NaN matches only its own bits.
bool same_bits(const std::vector<double> &a, const std::vector<double> &b);

// Caps the 64-point transforms at lanes doubles (fft_max_lanes) and returns
// "" when this processor runs that width, or else why it cannot, for the
// test to skip that width alone. The caller restores fft_max_lanes.
std::string use_lanes(int lanes);
