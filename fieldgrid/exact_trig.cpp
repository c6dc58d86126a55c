// SPDX-License-Identifier: MIT
// sin and cos for the web build, rounded from quadruple precision.
//
// Emscripten's C library takes sin and cos from musl, which rounds three of
// the 63 twiddle factors of a 64-point transform (the sines of 27, 41 and 54
// times pi/32) one unit in the last place away from the desktop's glibc, so
// the page's field drifted from the desktop's from the first step on. Long
// double is binary128 in wasm; sinl and cosl rounded to double give the
// correctly rounded value, which is glibc's for every factor the 64 x 64
// field uses.
//
// The software quadruple precision takes some microseconds a call, and the
// transforms' tables ask for about four thousand factors at the first
// transform, in the page's first measurement: some twenty milliseconds.
// They are 512 angles over again (each halving of a table takes every other
// angle of the one before) and their negatives (the inverse table). So each
// angle's sine and cosine are kept, by its magnitude (sin is odd, cos even,
// and so is their correct rounding): the same values, four times fewer
// computed.
#include <cmath>
#include <cstdint>
#include <cstring>

constexpr int kept_slots = 2048;
static double kept_angle[kept_slots];
static double kept_sin[kept_slots];
static double kept_cos[kept_slots];
static bool kept[kept_slots];

// The slot of angle a >= 0 (or NaN), from a mix of its bits.
static int slot_of(double a)
{
    std::uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    bits ^= bits >> 31;
    bits *= 0xbf58476d1ce4e5b9u;
    return static_cast<int>((bits >> 40) % kept_slots);
}

// The slot holding the sine and cosine of |x|, computed when not kept. A
// NaN is never found, so it is computed each time (and gives NaN).
static int slot_for(double x)
{
    const double a = std::fabs(x);
    const int s = slot_of(a);
    if (!kept[s] || !(kept_angle[s] == a)) {
        kept_angle[s] = a;
        kept_sin[s] = static_cast<double>(sinl(a));
        kept_cos[s] = static_cast<double>(cosl(a));
        kept[s] = true;
    }
    return s;
}

extern "C" double sin(double x)
{
    const double s = kept_sin[slot_for(x)];
    return std::signbit(x) ? -s : s;
}

extern "C" double cos(double x)
{
    return kept_cos[slot_for(x)];
}
