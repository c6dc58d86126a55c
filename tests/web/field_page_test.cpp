// SPDX-License-Identifier: MIT
// fieldgrid's page, natively: a row per step with the alpha it ran with, and
// the pattern's wavenumber, from a transform before the first step and from
// the step's own spectrum after it.
#include "fieldgrid/field_state.h"
#include "fieldgrid/viewer.h"
#include "measure/run_record.h"
#include "tests/support/gl_recorder.h"
#include "web/page/page_description.h"
#include "web/page/run_steps.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

const double two_pi = 2.0 * 3.141592653589793;

int column(const char *name)
{
    for (int k = 0; k < this_page.columns.count; k++)
        if (std::strcmp(this_page.columns.items[k].name, name) == 0)
            return k;
    ADD_FAILURE() << "no column named " << name;
    return 0;
}

} // namespace

extern "C" void step_taken(int) {}

namespace {

class FieldPage : public ::testing::Test {
  protected:
    void SetUp() override
    {
        clear_record();
        alpha = 1.5f;
        start_run(77);
    }
};

TEST_F(FieldPage, WavenumberOfASingleModeIsItsOwn)
{
    // cos(2 pi (a i + b j) / 64) has power at +-(a, b) alone, |k| = 2 pi
    // sqrt(a^2 + b^2) / 64, whatever the direction; 3 + 4i has |k| of 5.
    const struct {
        int a, b;
    } modes[] = {{5, 0}, {0, 5}, {3, 4}, {10, 0}, {32, 0}};
    for (const auto &m : modes) {
        for (int i = 0; i < 64; i++)
            for (int j = 0; j < 64; j++)
                field_re[i * 64 + j] = 0.3 + std::cos(two_pi * (m.a * i + m.b * j) / 64);
        double row[record_max_columns];
        measure_model(row);
        EXPECT_NEAR(row[column("kbar")], two_pi * std::hypot(m.a, m.b) / 64, 1e-12)
            << m.a << ", " << m.b;
        EXPECT_NEAR(row[column("mean")], 0.3, 1e-12);
    }
    // A uniform field has no wavenumber to tell.
    for (double &v : field_re)
        v = 0.5;
    double row[record_max_columns];
    measure_model(row);
    EXPECT_TRUE(std::isnan(row[column("kbar")]));
    EXPECT_EQ(row[column("rms")], 0.0);
}

// A field whose range, mean, deviation and cells above zero are known: a
// quarter of the cells at 3, the rest at -1, one of those at -2 instead.
TEST_F(FieldPage, MeasuresAFieldWithKnownAnswers)
{
    for (int n = 0; n < 4096; n++)
        field_re[n] = n % 4 == 1 ? 3.0 : -1.0;
    field_re[4094] = -2.0;
    double row[record_max_columns];
    measure_model(row);
    EXPECT_EQ(row[column("min")], -2.0);
    EXPECT_EQ(row[column("max")], 3.0);
    EXPECT_EQ(row[column("above_zero")], 1024);
    const double mean = (1024 * 3.0 - 3071 - 2.0) / 4096;
    EXPECT_DOUBLE_EQ(row[column("mean")], mean);
    const double square = 1024 * (3 - mean) * (3 - mean) + 3071 * (-1 - mean) * (-1 - mean) +
                          (-2 - mean) * (-2 - mean);
    EXPECT_NEAR(row[column("rms")], std::sqrt(square / 4096), 1e-12);
    // A cell that is not a number leaves the field without a range.
    field_re[100] = NAN;
    measure_model(row);
    EXPECT_TRUE(std::isnan(row[column("min")]) && std::isnan(row[column("max")]));
}

TEST_F(FieldPage, EachStepRecordsItsOwnAlphaTimeAndField)
{
    page_mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    alpha = 3.0f;
    page_mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
    ASSERT_EQ(recorded.timers.size(), 500u);
    page_timer(recorded.timers[0].callback, recorded.timers[0].value);
    page_mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 0, 0);
    ASSERT_EQ(record_steps(), 2);
    alpha = 2.0f; // after the step: its row keeps 3
    const double *first = record_held_row(0);
    const double *second = record_held_row(1);
    EXPECT_EQ(first[column("step")], 1);
    EXPECT_EQ(first[column("alpha")], 1.5);
    EXPECT_EQ(second[column("step")], 2);
    EXPECT_EQ(second[column("time")], 2 * dt);
    EXPECT_EQ(second[column("alpha")], 3.0);
    // The step's own spectrum gives the wavenumber a transform of the new
    // field gives, up to rounding.
    const double from_spectrum = second[column("kbar")];
    step_count = 0; // measured as before a first step: by a transform
    double row[record_max_columns];
    measure_model(row);
    EXPECT_NEAR(row[column("kbar")], from_spectrum, 1e-12);
}

} // namespace
