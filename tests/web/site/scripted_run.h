// SPDX-License-Identifier: MIT
// Scripted runs of both models from a fixed start, for comparing builds.
//
// rand() gives different sequences in different C libraries, so these runs
// draw from a generator of their own (a 32-bit linear congruential one, the
// top 15 bits of its state). The native probe and the web pages compile this
// same code; a run gives the same bits in both when the builds agree.
#pragma once

// Sets random_source to the scripted generator, started from seed.
// scripted_draws_end() puts back the source it replaced (the page's counted
// draws, or rand15).
void scripted_draws_begin(unsigned int seed);
void scripted_draws_end();

// The field from seed: randomize_field and grid_to_field with the scripted
// draws, field_im zero, step_count 0, alpha 1.5; then first_steps steps,
// alpha set to new_alpha, and more_steps steps. Leaves field_re, field_im,
// spec_re, spec_im and display_grid as the last step left them.
void scripted_field_run(unsigned int seed, int first_steps, float new_alpha, int more_steps);

// The lattice from seed: randomize_spins with the scripted draws, then
// sweeps Metropolis sweeps at temperature T (1..4), drawing from the same
// generator.
void scripted_spin_run(unsigned int seed, int sweeps, int T);

// Calls run(argument) count times and returns the mean time of one call in
// microseconds (steady clock); 0 when count <= 0.
double mean_microseconds(int count, void (*run)(int), int argument);

// Runs count steps of the field as it stands and returns the mean time of
// one step in microseconds (steady clock).
double time_field_steps(int count);

// Runs count sweeps of the lattice at temperature T and returns the mean time
// of one sweep in microseconds.
double time_sweeps(int count, int T);
