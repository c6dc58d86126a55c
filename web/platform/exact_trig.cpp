// SPDX-License-Identifier: MIT
// sin and cos for the web build, rounded from quadruple precision.
//
// Emscripten's C library takes sin and cos from musl, which rounds three of
// the 63 twiddle factors of a 64-point transform (the sines of 27, 41 and 54
// times pi/32) one unit in the last place away from the desktop's glibc, so
// the page's field drifted from the desktop's from the first step on. Long
// double is binary128 in wasm; sinl and cosl rounded to double give the
// correctly rounded value, which is glibc's for every factor the 64 x 64
// field uses. The transforms compute their factors once, so the cost of the
// software quadruple precision does not matter.
#include <cmath>

extern "C" double sin(double x)
{
    return static_cast<double>(sinl(x));
}

extern "C" double cos(double x)
{
    return static_cast<double>(cosl(x));
}
