// SPDX-License-Identifier: MIT
// The run as data: one row of numbers per step of the model, in the order
// the steps ran, from which the page's caption, table, plot and downloaded
// file all read.
//
// Memory stays bounded however long a page runs. The latest
// record_whole_rows rows (2^17, about three and a half hours of bursts
// running one after another) are always all there. Older rows are thinned:
// of those, only rows whose step index is a multiple of record_stride() stay,
// and when record_thinned_rows of them are held the stride doubles and every
// other one goes. At most record_whole_rows + record_thinned_rows rows are
// held, whatever the number of steps.
//
// A row is record_columns() doubles; what each column means is the caller's
// (see run_page.h). Nothing here knows about the model or the page.
#pragma once

constexpr int record_max_columns = 16;
constexpr long record_whole_rows = 131072;
constexpr long record_thinned_rows = 32768;

// Forgets every row; rows from now on have columns doubles (1 ..
// record_max_columns).
void record_start(int columns);

// Appends a row of record_columns() doubles, copied, as the next step's.
// When no memory is left for it, the row is not kept and counts as lost
// instead (record_lost).
void record_add(const double *row);

// Rows that could not be kept for want of memory since record_start.
long record_lost();

// Columns of a row.
int record_columns();

// Rows added since record_start: the steps recorded, thinned or not.
long record_steps();

// Rows held now, oldest first: the thinned ones, then the whole ones.
long record_held();

// Held row k (0 <= k < record_held()), oldest first. Valid until the next
// record_add or record_start.
const double *record_held_row(long k);

// The step index of held row k: 0 for the first step recorded.
long record_held_step(long k);

// The first step index that is kept whole: 0 until rows are thinned, then
// record_steps() - record_whole_rows.
long record_whole_from();

// One row in record_stride() is kept among the rows before
// record_whole_from(); 1 while nothing is thinned.
long record_stride();

// How many steps held row k stands for: 1 for a row kept whole, and for a
// thinned row the steps up to the next held row (those it was kept in place
// of), so that the weights of rows k0 .. held-1 sum to the steps from
// record_held_step(k0) on.
long record_held_weight(long k);

// The first held row whose step index is at least step (record_held() when
// none is).
long record_first_held_from(long step);
