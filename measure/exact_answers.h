// SPDX-License-Identifier: MIT
// What theory says the pages should measure, to set beside the measurement.
//
// spingrid: the square-lattice ferromagnet with coupling J = 1 and k_B = 1
// on the infinite lattice, solved exactly (Onsager; Yang for the
// magnetisation). A 50 x 50 lattice follows it closely away from the
// critical temperature and differs near it.
// fieldgrid: the linear theory of the field's step, whose fastest-growing
// wavenumber sets the scale of the pattern that grows.
#pragma once

// The critical temperature 2 / ln(1 + sqrt 2), about 2.2692.
double ising_critical_temperature();

// Spontaneous magnetisation per spin at temperature T > 0:
// (1 - sinh(2/T)^-4)^(1/8) below the critical temperature, 0 at and above it.
// m0(1) = 0.99928, m0(2) = 0.91132.
double ising_magnetisation(double T);

// Energy per spin at temperature T > 0:
//   u = -coth(2b) [1 + (2/pi) (2 tanh^2(2b) - 1) K(q)],
// b = 1/T, q = 2 sinh(2b) / cosh^2(2b); -2 at T -> 0, -sqrt 2 at the critical
// temperature. u(1) = -1.99716, u(2) = -1.74556, u(4) = -0.55727.
double ising_energy(double T);

// Specific heat per spin at temperature T > 0:
//   c = (4/pi) (b coth 2b)^2 {K(q) - E(q) - (1 - tanh^2 2b) [pi/2 + (2 tanh^2 2b - 1) K(q)]};
// it diverges (logarithmically) at the critical temperature, where this
// returns +infinity. c(1) = 0.0234, c(2) = 0.7249, c(4) = 0.1712.
double ising_specific_heat(double T);

// The complete elliptic integrals of the first and second kind of modulus
// q, 0 <= q < 1, by the arithmetic-geometric mean (to rounding); K(1) is
// +infinity and E(1) = 1.
double elliptic_k(double q);
double elliptic_e(double q);

// The wavenumber, in radians per cell, at which the field's linear rate
//   L(k) = alpha - stiffness k^2 - range_coeff (4 - 2 pi k)
// is largest: where dL/dk = 0, k = pi range_coeff / stiffness (1 with the
// build's constants, a wavelength of 2 pi cells). stiffness > 0.
double fastest_wavenumber(double stiffness, double range_coeff);
