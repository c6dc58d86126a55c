// SPDX-License-Identifier: MIT
// The pages' record of the run, natively: every row while the run is short,
// a bounded record however long it gets, and the exact answers the pages set
// beside their measurements.
#include "common/colour_scales.h"
#include "measure/exact_answers.h"
#include "measure/run_record.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ExactAnswers, MatchTheInfiniteLatticeAndTheLinearTheory)
{
    const struct {
        double T, m0, u, c;
    } exact[] = {{1, 0.99928, -1.99716, 0.0234},
                 {2, 0.91132, -1.74556, 0.7249},
                 {3, 0.0, -0.81731, 0.4014},
                 {4, 0.0, -0.55727, 0.1712}};
    for (const auto &e : exact) {
        EXPECT_NEAR(ising_magnetisation(e.T), e.m0, 5e-6) << "T = " << e.T;
        EXPECT_NEAR(ising_energy(e.T), e.u, 5e-6) << "T = " << e.T;
        EXPECT_NEAR(ising_specific_heat(e.T), e.c, 5e-5) << "T = " << e.T;
    }
    const double tc = ising_critical_temperature();
    EXPECT_NEAR(tc, 2.269185314213022, 1e-15);
    // At Tc the magnetisation has gone, the energy is -sqrt 2 and the
    // specific heat diverges; just below, the magnetisation is still there.
    EXPECT_EQ(ising_magnetisation(tc), 0.0);
    EXPECT_GT(ising_magnetisation(tc - 1e-3), 0.4);
    EXPECT_NEAR(ising_energy(tc), -std::sqrt(2.0), 1e-9);
    EXPECT_GT(ising_specific_heat(tc - 1e-6), 5.0);
    // K(0) = E(0) = pi/2; K(q) grows without bound as q -> 1, E -> 1.
    EXPECT_DOUBLE_EQ(elliptic_k(0.0), M_PI / 2);
    EXPECT_DOUBLE_EQ(elliptic_e(0.0), M_PI / 2);
    EXPECT_NEAR(elliptic_k(0.5), 1.685750354812596, 1e-15);
    EXPECT_NEAR(elliptic_e(0.5), 1.467462209339427, 1e-15);
    EXPECT_TRUE(std::isinf(elliptic_k(1.0)));
    EXPECT_EQ(elliptic_e(1.0), 1.0);
    // dL/dk = 0 where 2 stiffness k = 2 pi range_coeff.
    EXPECT_NEAR(fastest_wavenumber(2.0, 0.6366197723675814), 1.0, 1e-15);
    EXPECT_NEAR(fastest_wavenumber(4.0, 0.6366197723675814), 0.5, 1e-15);
}

// Relative luminance (sRGB) of a colour as typical vision sees it (matrix
// null) or under a simulated colour vision deficiency of full severity:
// Machado, Oliveira and Fernandes (2009)'s matrices on linear RGB.
double luminance(const unsigned char *rgb, const double (*matrix)[3])
{
    double linear[3], seen[3];
    for (int k = 0; k < 3; k++) {
        const double c = rgb[k] / 255.0;
        linear[k] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    for (int k = 0; k < 3; k++) {
        seen[k] =
            matrix ? matrix[k][0] * linear[0] + matrix[k][1] * linear[1] + matrix[k][2] * linear[2]
                   : linear[k];
        seen[k] = std::fmin(1.0, std::fmax(0.0, seen[k]));
    }
    return 0.2126 * seen[0] + 0.7152 * seen[1] + 0.0722 * seen[2];
}

double contrast(double a, double b)
{
    return (std::fmax(a, b) + 0.05) / (std::fmin(a, b) + 0.05);
}

TEST(ColourScales, TheDesignsRedsAndAScaleEveryEyeTellsApart)
{
    const double protanopia[3][3] = {{0.152286, 1.052583, -0.204868},
                                     {0.114503, 0.786281, 0.099216},
                                     {-0.003882, -0.048116, 1.051998}};
    const double deuteranopia[3][3] = {{0.367322, 0.860646, -0.227968},
                                       {0.280085, 0.672501, 0.047413},
                                       {-0.011820, 0.042940, 0.968881}};
    const double tritanopia[3][3] = {{1.255528, -0.076749, -0.178779},
                                     {-0.078411, 0.930809, 0.147602},
                                     {0.004733, 0.691367, 0.303900}};
    const double(*visions[])[3] = {nullptr, protanopia, deuteranopia, tritanopia};
    unsigned char table[768];
    colour_scale_table(0, table);
    for (int r = 0; r < 256; r++)
        ASSERT_TRUE(table[3 * r] == r && table[3 * r + 1] == 0 && table[3 * r + 2] == 0) << r;
    // Black and red: 5.3:1 for typical vision, 3.3:1 under protanopia.
    EXPECT_NEAR(contrast(luminance(table, nullptr), luminance(table + 765, nullptr)), 5.25, 0.01);
    EXPECT_NEAR(contrast(luminance(table, protanopia), luminance(table + 765, protanopia)), 3.29,
                0.01);
    ASSERT_GE(colour_scale_count, 2);
    for (int scale = 1; scale < colour_scale_count; scale++) {
        colour_scale_table(scale, table);
        for (const auto *vision : visions) {
            // Luminance never falls from one colour to the next, and the
            // ends differ at least 7:1, whoever looks.
            for (int r = 0; r < 255; r++)
                ASSERT_LE(luminance(table + 3 * r, vision), luminance(table + 3 * r + 3, vision))
                    << colour_scales[scale].name << " at " << r;
            EXPECT_GE(contrast(luminance(table, vision), luminance(table + 765, vision)), 7.0)
                << colour_scales[scale].name;
        }
    }
}

// Adds rows numbered from first: column 0 holds the step index, column 1
// its square.
void add_rows(long first, long count)
{
    for (long s = first; s < first + count; s++) {
        const double row[2] = {static_cast<double>(s), static_cast<double>(s) * s};
        record_add(row);
    }
}

// The held rows are the steps they say they are, oldest first, and their
// weights add up to the steps from the first held one on.
void expect_consistent()
{
    long weights = 0;
    for (long k = 0; k < record_held(); k++) {
        const double *row = record_held_row(k);
        ASSERT_EQ(row[0], record_held_step(k)) << "held row " << k;
        ASSERT_EQ(row[1], row[0] * row[0]);
        if (k > 0) {
            ASSERT_GT(record_held_step(k), record_held_step(k - 1));
        }
        weights += record_held_weight(k);
    }
    EXPECT_EQ(weights, record_steps() - record_held_step(0));
}

TEST(RunRecord, KeepsEveryRowUntilTheWholeRingIsFull)
{
    record_start(2);
    EXPECT_EQ(record_held(), 0);
    EXPECT_EQ(record_first_held_from(0), 0);
    add_rows(0, record_whole_rows);
    EXPECT_EQ(record_steps(), record_whole_rows);
    EXPECT_EQ(record_held(), record_whole_rows);
    EXPECT_EQ(record_whole_from(), 0);
    EXPECT_EQ(record_stride(), 1);
    EXPECT_EQ(record_held_weight(0), 1);
    EXPECT_EQ(record_first_held_from(1000), 1000);
    expect_consistent();
    // Starting again forgets everything, the shape of a row included.
    record_start(1);
    const double one = 7.0;
    record_add(&one);
    EXPECT_EQ(record_held(), 1);
    EXPECT_EQ(record_held_row(0)[0], 7.0);
    EXPECT_EQ(record_lost(), 0);
}

TEST(RunRecord, ThinsOlderRowsAndStaysBoundedForAnyLength)
{
    record_start(2);
    // Past the ring: the rows that leave it are thinned, first one in one.
    add_rows(0, record_whole_rows + 10);
    EXPECT_EQ(record_whole_from(), 10);
    EXPECT_EQ(record_held(), record_whole_rows + 10);
    expect_consistent();
    // Once the thinned rows fill, every other one goes, again and again.
    add_rows(record_whole_rows + 10, 3 * record_thinned_rows);
    const long steps = record_steps();
    EXPECT_EQ(record_stride(), 4);
    EXPECT_LE(record_held(), record_whole_rows + record_thinned_rows);
    EXPECT_EQ(record_whole_from(), steps - record_whole_rows);
    expect_consistent();
    // The latest rows are all there; each held step is on the stride or whole.
    EXPECT_EQ(record_held_step(record_held() - 1), steps - 1);
    for (long k = 0; k < record_held(); k++) {
        if (record_held_step(k) < record_whole_from()) {
            ASSERT_EQ(record_held_step(k) % record_stride(), 0);
        }
    }
    // Looking a step up lands on the first held row at or after it.
    const long k = record_first_held_from(5);
    EXPECT_EQ(record_held_step(k), 8);
    EXPECT_EQ(record_first_held_from(record_whole_from() + 3),
              record_held() - record_whole_rows + 3);
    EXPECT_EQ(record_first_held_from(steps), record_held());
}

} // namespace
