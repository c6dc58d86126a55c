// SPDX-License-Identifier: MIT
// What the step tests share: the program's field started from a seed, and
// runs of advance_one_step beside the straightforward step of
// step_reference.h, compared bit for bit after every step.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

// Fills the program's field with its initial condition, drawn from a
// generator of the tests' own seeded with seed (not the C library's rand()),
// sets step_count to first_step and gives the reference the same start.
void start_from_seed(std::uint32_t seed, int first_step);

// Takes count steps of the program and of the reference, comparing the
// field, its spectrum and the step counter after each; fails at the first
// step where they differ, naming the first element that does.
testing::AssertionResult run_steps(int count);
