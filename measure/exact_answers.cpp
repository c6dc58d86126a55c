// SPDX-License-Identifier: MIT
#include "measure/exact_answers.h"

#include <cmath>

static const double pi = 3.141592653589793;

// The AGM of 1 and sqrt(1 - q^2), and the sum that turns K into E:
// K = pi / (2 agm), E = K (1 - sum of 2^(n-1) c_n^2), c_0 = q.
static void arithmetic_geometric_mean(double q, double *agm, double *sum)
{
    double a = 1.0, b = std::sqrt(1.0 - q * q), c = q;
    double weight = 0.5;
    *sum = weight * c * c;
    // Converges quadratically: a handful of rounds for any q < 1; the bound
    // only keeps a NaN from looping.
    for (int round = 0; round < 64 && c != 0.0; round++) {
        const double mean = (a + b) / 2.0;
        c = (a - b) / 2.0;
        b = std::sqrt(a * b);
        a = mean;
        weight *= 2.0;
        *sum += weight * c * c;
    }
    *agm = a;
}

double elliptic_k(double q)
{
    if (q >= 1.0)
        return HUGE_VAL;
    double agm, sum;
    arithmetic_geometric_mean(q, &agm, &sum);
    return pi / (2.0 * agm);
}

double elliptic_e(double q)
{
    if (q >= 1.0)
        return 1.0;
    double agm, sum;
    arithmetic_geometric_mean(q, &agm, &sum);
    return pi / (2.0 * agm) * (1.0 - sum);
}

double ising_critical_temperature()
{
    return 2.0 / std::log(1.0 + std::sqrt(2.0));
}

double ising_magnetisation(double T)
{
    if (!(T < ising_critical_temperature()))
        return 0.0;
    const double s = std::sinh(2.0 / T);
    return std::pow(1.0 - 1.0 / (s * s * s * s), 0.125);
}

// The modulus q of both integrals at inverse temperature b; rounding can
// carry it a hair past 1 near the critical temperature.
static double modulus(double b)
{
    const double ch = std::cosh(2.0 * b);
    return std::fmin(1.0, 2.0 * std::sinh(2.0 * b) / (ch * ch));
}

double ising_energy(double T)
{
    const double b = 1.0 / T;
    const double t = std::tanh(2.0 * b);
    const double q = modulus(b);
    // At the critical temperature K is infinite and its factor zero: the
    // limit is the bracket's 1.
    const double factor = 2.0 * t * t - 1.0;
    const double elliptic = q < 1.0 ? factor * elliptic_k(q) : 0.0;
    return -(1.0 / t) * (1.0 + (2.0 / pi) * elliptic);
}

double ising_specific_heat(double T)
{
    const double b = 1.0 / T;
    const double t = std::tanh(2.0 * b);
    const double q = modulus(b);
    if (q >= 1.0)
        return HUGE_VAL;
    const double k = elliptic_k(q);
    const double e = elliptic_e(q);
    const double bc = b / t;
    return (4.0 / pi) * bc * bc * (k - e - (1.0 - t * t) * (pi / 2.0 + (2.0 * t * t - 1.0) * k));
}

double fastest_wavenumber(double stiffness, double range_coeff)
{
    return pi * range_coeff / stiffness;
}
