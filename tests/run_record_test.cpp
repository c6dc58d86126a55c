// SPDX-License-Identifier: MIT
// The pages' record of the run, natively: every row while the run is short,
// and a bounded record however long it gets.
#include "measure/run_record.h"

#include <gtest/gtest.h>

namespace {

// Adds rows numbered from first: column 0 holds the step index, column 1
// its square.
void add_rows(long first, long count)
{
    for (long s = first; s < first + count; s++) {
        const double row[2] = {static_cast<double>(s), static_cast<double>(s) * s};
        record_add(row);
    }
}

// The held rows are the steps they say they are, oldest first, and their
// weights add up to the steps from the first held one on.
void expect_consistent()
{
    long weights = 0;
    for (long k = 0; k < record_held(); k++) {
        const double *row = record_held_row(k);
        ASSERT_EQ(row[0], record_held_step(k)) << "held row " << k;
        ASSERT_EQ(row[1], row[0] * row[0]);
        if (k > 0) {
            ASSERT_GT(record_held_step(k), record_held_step(k - 1));
        }
        weights += record_held_weight(k);
    }
    EXPECT_EQ(weights, record_steps() - record_held_step(0));
}

TEST(RunRecord, KeepsEveryRowUntilTheWholeRingIsFull)
{
    record_start(2);
    EXPECT_EQ(record_held(), 0);
    EXPECT_EQ(record_first_held_from(0), 0);
    add_rows(0, record_whole_rows);
    EXPECT_EQ(record_steps(), record_whole_rows);
    EXPECT_EQ(record_held(), record_whole_rows);
    EXPECT_EQ(record_whole_from(), 0);
    EXPECT_EQ(record_stride(), 1);
    EXPECT_EQ(record_held_weight(0), 1);
    EXPECT_EQ(record_first_held_from(1000), 1000);
    expect_consistent();
    // Starting again forgets everything, the shape of a row included.
    record_start(1);
    const double one = 7.0;
    record_add(&one);
    EXPECT_EQ(record_held(), 1);
    EXPECT_EQ(record_held_row(0)[0], 7.0);
    EXPECT_EQ(record_lost(), 0);
}

TEST(RunRecord, ThinsOlderRowsAndStaysBoundedForAnyLength)
{
    record_start(2);
    // Past the ring: the rows that leave it are thinned, first one in one.
    add_rows(0, record_whole_rows + 10);
    EXPECT_EQ(record_whole_from(), 10);
    EXPECT_EQ(record_held(), record_whole_rows + 10);
    expect_consistent();
    // Once the thinned rows fill, every other one goes, again and again.
    add_rows(record_whole_rows + 10, 3 * record_thinned_rows);
    const long steps = record_steps();
    EXPECT_EQ(record_stride(), 4);
    EXPECT_LE(record_held(), record_whole_rows + record_thinned_rows);
    EXPECT_EQ(record_whole_from(), steps - record_whole_rows);
    expect_consistent();
    // The latest rows are all there; each held step is on the stride or whole.
    EXPECT_EQ(record_held_step(record_held() - 1), steps - 1);
    for (long k = 0; k < record_held(); k++) {
        if (record_held_step(k) < record_whole_from()) {
            ASSERT_EQ(record_held_step(k) % record_stride(), 0);
        }
    }
    // Looking a step up lands on the first held row at or after it.
    const long k = record_first_held_from(5);
    EXPECT_EQ(record_held_step(k), 8);
    EXPECT_EQ(record_first_held_from(record_whole_from() + 3),
              record_held() - record_whole_rows + 3);
    EXPECT_EQ(record_first_held_from(steps), record_held());
}

} // namespace
