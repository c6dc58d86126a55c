// SPDX-License-Identifier: MIT
#include "measure/run_record.h"

#include <algorithm>
#include <cstdlib>

static int columns = 1;
static long steps = 0;

// The whole rows: a ring of up to record_whole_rows rows, oldest at
// whole_first once it is full. It is held in blocks, each allocated when the
// first row reaches it, so that a short run holds little and growing never
// copies (nor holds two copies at once).
constexpr long block_rows = 4096;
constexpr long blocks = record_whole_rows / block_rows;
static double *whole_blocks[blocks];
static long whole_count = 0;
static long whole_first = 0;

// The thinned rows and their step indices, oldest first, allocated when the
// first row is thinned.
static double *thinned = nullptr;
static long *thinned_steps = nullptr;
static long thinned_count = 0;
static long stride = 1;
static long lost = 0;

void record_start(int column_count)
{
    columns = std::clamp(column_count, 1, record_max_columns);
    steps = 0;
    for (double *&block : whole_blocks) {
        std::free(block);
        block = nullptr;
    }
    whole_count = 0;
    whole_first = 0;
    std::free(thinned);
    std::free(thinned_steps);
    thinned = nullptr;
    thinned_steps = nullptr;
    thinned_count = 0;
    stride = 1;
    lost = 0;
}

static double *whole_row(long k)
{
    long slot = (whole_first + k) % record_whole_rows;
    return whole_blocks[slot / block_rows] + slot % block_rows * columns;
}

// Keeps every other thinned row (those on a multiple of twice the stride).
static void halve_thinned()
{
    stride *= 2;
    long kept = 0;
    for (long k = 0; k < thinned_count; k++) {
        if (thinned_steps[k] % stride != 0)
            continue;
        thinned_steps[kept] = thinned_steps[k];
        std::copy_n(thinned + k * columns, columns, thinned + kept * columns);
        kept++;
    }
    thinned_count = kept;
}

// A row leaving the whole ring: kept when its step is on the stride.
static void offer_thinned(const double *row, long step)
{
    if (step % stride != 0)
        return;
    if (thinned_count == record_thinned_rows) {
        halve_thinned();
        if (step % stride != 0)
            return;
    }
    if (!thinned) {
        thinned =
            static_cast<double *>(std::malloc(sizeof(double) * record_thinned_rows * columns));
        thinned_steps = static_cast<long *>(std::malloc(sizeof(long) * record_thinned_rows));
        // Out of memory: the row goes, as if thinned.
        if (!thinned || !thinned_steps) {
            std::free(thinned);
            std::free(thinned_steps);
            thinned = nullptr;
            thinned_steps = nullptr;
            return;
        }
    }
    thinned_steps[thinned_count] = step;
    std::copy_n(row, columns, thinned + thinned_count * columns);
    thinned_count++;
}

void record_add(const double *row)
{
    if (whole_count < record_whole_rows) {
        double *&block = whole_blocks[whole_count / block_rows];
        if (!block)
            block = static_cast<double *>(std::malloc(sizeof(double) * block_rows * columns));
        if (!block) {
            lost++;
            return;
        }
        whole_count++;
        std::copy_n(row, columns, whole_row(whole_count - 1));
    } else {
        double *oldest = whole_row(0);
        offer_thinned(oldest, steps - record_whole_rows);
        std::copy_n(row, columns, oldest);
        whole_first = (whole_first + 1) % record_whole_rows;
    }
    steps++;
}

int record_columns()
{
    return columns;
}

long record_steps()
{
    return steps;
}

long record_held()
{
    return thinned_count + whole_count;
}

const double *record_held_row(long k)
{
    return k < thinned_count ? thinned + k * columns : whole_row(k - thinned_count);
}

long record_held_step(long k)
{
    return k < thinned_count ? thinned_steps[k] : record_whole_from() + k - thinned_count;
}

long record_whole_from()
{
    return steps - whole_count;
}

long record_lost()
{
    return lost;
}

long record_stride()
{
    return stride;
}

long record_held_weight(long k)
{
    if (k >= thinned_count)
        return 1;
    return record_held_step(k + 1) - record_held_step(k);
}

long record_first_held_from(long step)
{
    if (step >= record_whole_from())
        return std::min(record_held(), thinned_count + step - record_whole_from());
    return std::lower_bound(thinned_steps, thinned_steps + thinned_count, step) - thinned_steps;
}
