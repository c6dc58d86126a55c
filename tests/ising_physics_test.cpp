// SPDX-License-Identifier: MIT
// The sweep against the exact solution of the two-dimensional square-lattice
// ferromagnet (J = 1, k_B = 1, Tc = 2 / ln(1 + sqrt 2) = 2.26919).
//
// A 50 x 50 lattice is large next to the correlation length at these
// temperatures, so finite-size shifts stay well inside the tolerances.
// Those tolerances are several statistical errors wide, yet far narrower than
// the shift a wrong acceptance rule causes: with an integer quotient dE / T,
// T = 3 accepts as T = 4 does and its energy per spin comes out near -0.56.
#include "common/random_draw.h"
#include "spingrid/lattice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

const double pi = 3.141592653589793;

// Onsager's energy per spin: -coth(2K) [1 + (2/pi)(2 tanh^2(2K) - 1) K1(k)]
// with K = 1/T and k = 2 sinh(2K) / cosh^2(2K).
double exact_energy(double T)
{
    double K = 1.0 / T;
    double k = 2.0 * std::sinh(2 * K) / (std::cosh(2 * K) * std::cosh(2 * K));
    double t = std::tanh(2 * K);
    return -(1.0 / t) * (1.0 + (2.0 / pi) * (2.0 * t * t - 1.0) * std::comp_ellint_1(k));
}

// Yang's spontaneous magnetisation below Tc: (1 - sinh(2/T)^-4)^(1/8).
double exact_magnetisation(double T)
{
    return std::pow(1.0 - std::pow(std::sinh(2.0 / T), -4.0), 0.125);
}

double energy_per_spin()
{
    const int L = lattice_size;
    long sum = 0;
    for (int i = 0; i < L; i++)
        for (int j = 0; j < L; j++)
            sum += spins[i][j] * (spins[(i + 1) % L][j] + spins[i][(j + 1) % L]);
    return -static_cast<double>(sum) / (L * L);
}

double abs_magnetisation()
{
    long sum = 0;
    for (int i = 0; i < lattice_size; i++)
        for (int j = 0; j < lattice_size; j++)
            sum += spins[i][j];
    return std::fabs(static_cast<double>(sum)) / (lattice_size * lattice_size);
}

// Runs `equilibrate` sweeps, then averages `observable` over `measure` sweeps.
template <typename F> double sweep_average(int T, int equilibrate, int measure, F observable)
{
    for (int n = 0; n < equilibrate; n++)
        metropolis_sweep(T);
    double total = 0;
    for (int n = 0; n < measure; n++) {
        metropolis_sweep(T);
        total += observable();
    }
    return total / measure;
}

void start_ordered()
{
    for (auto &row : spins)
        for (int &s : row)
            s = 1;
}

TEST(IsingPhysics, ExactValuesAreTheKnownOnes)
{
    EXPECT_NEAR(exact_magnetisation(1.0), 0.99928, 5e-6);
    EXPECT_NEAR(exact_magnetisation(2.0), 0.91132, 5e-6);
    EXPECT_NEAR(exact_energy(3.0), -0.81731, 5e-6);
    EXPECT_NEAR(exact_energy(4.0), -0.55727, 5e-6);
}

// From a random start at low temperature the lattice can sit in domains for
// thousands of sweeps, so the ordered phase is entered from all +1.
TEST(IsingPhysics, MagnetisationAtTemperatureOne)
{
    srand(101);
    start_ordered();
    double m = sweep_average(1, 200, 2000, abs_magnetisation);
    EXPECT_NEAR(m, exact_magnetisation(1.0), 3e-4);
}

TEST(IsingPhysics, MagnetisationAtTemperatureTwo)
{
    srand(202);
    start_ordered();
    double m = sweep_average(2, 500, 4000, abs_magnetisation);
    EXPECT_NEAR(m, exact_magnetisation(2.0), 0.01);
}

TEST(IsingPhysics, EnergyAtTemperatureThree)
{
    srand(303);
    randomize_spins();
    double e = sweep_average(3, 500, 4000, energy_per_spin);
    EXPECT_NEAR(e, exact_energy(3.0), 0.01);
}

TEST(IsingPhysics, EnergyAtTemperatureFour)
{
    srand(404);
    randomize_spins();
    double e = sweep_average(4, 500, 4000, energy_per_spin);
    EXPECT_NEAR(e, exact_energy(4.0), 0.01);
}

} // namespace
