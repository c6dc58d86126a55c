// SPDX-License-Identifier: MIT
// What theory says the pages should measure: the exact answers of the
// infinite lattice and the linear theory's fastest wavenumber, against their
// known values.
#include "measure/exact_answers.h"

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

} // namespace
