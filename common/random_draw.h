// SPDX-License-Identifier: MIT
// Pseudo-random draws over exactly 0..32767, for both models.
//
// The models divide a draw by 32767.0 and take remainders of it, so they need
// the 15-bit range of a classic rand(). glibc's rand() returns 31 bits; the
// draw keeps its top 15, which are uniform over 0..32767 with both ends
// reachable. Seeding stays with srand().
#pragma once

// Largest value random_draw() returns.
constexpr int random_draw_max = 32767;

// The next draw, uniform over 0..32767. Calls random_source.
int random_draw();

// Where draws come from: the 15-bit reduction of rand() by default. Tests set
// it to a scripted sequence; the result must lie in 0..32767.
extern int (*random_source)();

// The default source: rand() reduced to 0..32767.
int rand15();
