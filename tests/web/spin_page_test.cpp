// SPDX-License-Identifier: MIT
// spingrid's page, natively: the viewer's presses and timers as the page
// runs them, against the recording stand-in for GL and GLUT. Every sweep
// makes one row, at the temperature it ran at, whatever way it was asked for.
#include "measure/exact_answers.h"
#include "measure/run_record.h"
#include "spingrid/lattice.h"
#include "spingrid/viewer.h"
#include "tests/support/gl_recorder.h"
#include "web/page/page_description.h"
#include "web/page/run_steps.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// The index of a named number in list.
int index_of(list_of<described_number> list, const char *name)
{
    for (int k = 0; k < list.count; k++)
        if (std::strcmp(list.items[k].name, name) == 0)
            return k;
    ADD_FAILURE() << "no number named " << name;
    return 0;
}

int column(const char *name)
{
    return index_of(this_page.columns, name);
}

double summary(const char *name)
{
    double now[record_max_columns], values[64];
    run_now(now);
    page_summary(now, values);
    return values[index_of(this_page.summary, name)];
}

// A summary number that is text: the address of its words.
std::string summary_text(const char *name)
{
    return reinterpret_cast<const char *>(static_cast<std::uintptr_t>(summary(name)));
}

int steps_heard = 0;
int timed_steps_heard = 0;

} // namespace

extern "C" void step_taken(int from_timer)
{
    steps_heard++;
    timed_steps_heard += from_timer;
}

namespace {

class SpinPage : public ::testing::Test {
  protected:
    void SetUp() override
    {
        clear_record();
        temperature = 1;
        steps_heard = timed_steps_heard = 0;
        start_run(1234);
    }

    // Fires the timers recorded so far in the order they fall due (the order
    // set among equal delays), through the page, and forgets them.
    void fire_timers()
    {
        std::vector<recorded_timer> due = recorded.timers;
        std::stable_sort(due.begin(), due.end(),
                         [](const recorded_timer &a, const recorded_timer &b) {
                             return a.delay_ms < b.delay_ms;
                         });
        recorded.timers.clear();
        for (const recorded_timer &t : due)
            page_timer(t.callback, t.value);
    }
};

TEST_F(SpinPage, ARightPressRecordsOneRowOfTheLatticeAsItStands)
{
    double before[record_max_columns];
    run_now(before);
    EXPECT_EQ(before[column("sweep")], 0);
    page_mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 10);
    page_mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 10, 10);
    page_mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 10, 10);
    ASSERT_EQ(record_steps(), 1);
    EXPECT_EQ(steps_heard, 1);
    EXPECT_EQ(timed_steps_heard, 0);
    const double *row = record_held_row(0);
    double now[record_max_columns];
    measure_model(now);
    EXPECT_EQ(row[column("sweep")], 1);
    EXPECT_EQ(row[column("temperature")], 1);
    EXPECT_EQ(row[column("m")], now[column("m")]);
    EXPECT_EQ(row[column("e")], now[column("e")]);
    // The same seed gives the same lattice and the same sweep again.
    const double m = row[column("m")];
    start_run(1234);
    page_mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    EXPECT_EQ(record_held_row(0)[column("m")], m);
}

// Lattices whose m and e are known: every bond counted once, across the
// periodic edges too.
TEST_F(SpinPage, MeasuresLatticesWithKnownAnswers)
{
    const struct {
        const char *name;
        int (*spin)(int i, int j);
        double m, e;
    } lattices[] = {
        {"all +1", [](int, int) { return 1; }, 1.0, -2.0},
        {"all -1", [](int, int) { return -1; }, -1.0, -2.0},
        {"checkerboard", [](int i, int j) { return (i + j) % 2 == 0 ? 1 : -1; }, 0.0, 2.0},
        // Stripes along j: bonds along i agree, bonds along j disagree.
        {"stripes", [](int, int j) { return j % 2 == 0 ? 1 : -1; }, 0.0, 0.0},
        // One row of -1 in +1: 50 flipped spins, 100 broken bonds.
        {"one row flipped", [](int i, int) { return i == 7 ? -1 : 1; }, 0.96, -1.92},
    };
    for (const auto &l : lattices) {
        for (int i = 0; i < 50; i++)
            for (int j = 0; j < 50; j++)
                spins[i][j] = l.spin(i, j);
        double row[record_max_columns];
        measure_model(row);
        EXPECT_DOUBLE_EQ(row[column("m")], l.m) << l.name;
        EXPECT_DOUBLE_EQ(row[column("e")], l.e) << l.name;
    }
}

TEST_F(SpinPage, OverlappingBurstsRecordEverySweepAtItsBurstsTemperature)
{
    temperature = 2;
    page_mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
    temperature = 3; // the first burst keeps 2
    // The second burst starts 150 ms later: its timers fall between.
    std::vector<recorded_timer> first = recorded.timers;
    recorded.timers.clear();
    page_mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
    for (recorded_timer &t : recorded.timers)
        t.delay_ms += 150;
    recorded.timers.insert(recorded.timers.begin(), first.begin(), first.end());
    EXPECT_EQ(record_steps(), 0) << "a left press itself sweeps nothing";
    fire_timers();
    ASSERT_EQ(record_steps(), 200);
    EXPECT_EQ(timed_steps_heard, 200);
    // 100, 200 ms at 2; then 250 at 3, 300 at 2, 350 at 3 ...; the last 50
    // of the second burst alone.
    const double expected[] = {2, 2, 3, 2, 3};
    for (int k = 0; k < 5; k++)
        EXPECT_EQ(record_held_row(k)[column("temperature")], expected[k]) << "sweep " << k + 1;
    for (long k = 0; k < 200; k++)
        ASSERT_EQ(record_held_row(k)[column("sweep")], k + 1);
    // The first burst's last sweep (10 000 ms) is sweep 198; the second's
    // last two follow it alone. The averages start again at each change of
    // temperature: two sweeps at 3, too few for a verdict.
    EXPECT_EQ(record_held_row(197)[column("temperature")], 2);
    EXPECT_EQ(record_held_row(198)[column("temperature")], 3);
    EXPECT_EQ(summary("temperature"), 3);
    EXPECT_EQ(summary("sweeps_run"), 2);
    EXPECT_EQ(summary_text("verdict_e"), "not settled yet");
}

TEST_F(SpinPage, EnergyAtTemperatureFourAveragesToTheExactValue)
{
    temperature = 4;
    for (int k = 0; k < 2000; k++)
        page_mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    ASSERT_EQ(record_steps(), 2000);
    EXPECT_EQ(summary("sweeps_run"), 2000);
    EXPECT_EQ(summary("sweeps_used") + summary("sweeps_discarded"), 2000);
    EXPECT_GT(summary("sweeps_used"), 1000);
    EXPECT_NEAR(summary("mean_e"), ising_energy(4), 4 * summary("sigma_e"));
    EXPECT_EQ(summary("u"), ising_energy(4));
    // Above Tc: the signed <m> has the verdict, <|m|> none.
    EXPECT_EQ(summary_text("verdict_abs_m"), "");
    EXPECT_NE(summary_text("verdict_m"), "not settled yet");
    EXPECT_NE(summary_text("verdict_e"), "not settled yet");
    // Above Tc the lattice is disordered: small |m|, a specific heat and a
    // susceptibility of the right size.
    EXPECT_LT(summary("mean_abs_m"), 0.1);
    EXPECT_NEAR(summary("c"), ising_specific_heat(4), 0.05);
    EXPECT_GT(summary("chi"), 0.0);
}

// From the random start at temperature 1 the lattice is still ordering
// after 40 sweeps: nothing may read as agreeing or differing yet.
TEST_F(SpinPage, NoVerdictWhileTheLatticeStillOrders)
{
    for (int k = 0; k < 40; k++)
        page_mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    for (const char *name : {"verdict_abs_m", "verdict_e", "verdict_c"})
        EXPECT_EQ(summary_text(name), "not settled yet") << name;
    EXPECT_EQ(summary_text("verdict_m"), "") << "below Tc the signed m has no verdict";
}

} // namespace
