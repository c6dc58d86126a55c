// SPDX-License-Identifier: MIT
#include "fieldgrid/field_state.h"

#include "common/random_draw.h"

// The initial field's bits are part of every run.
#include "fieldgrid/no_fused_multiply_add.h"

double dt = 0.1;
float alpha = 1.5f;
double stiffness = 2.0;
double range_coeff = 0.6366197723675814;
double feed_level = 1.5;
double feed_decay = 0.01;
double grid_size = 64.0;

double field_re[grid_cells];
double field_im[grid_cells];
double spec_re[grid_cells];
double spec_im[grid_cells];
double display_grid[grid_side][grid_side];
int step_count = 0;

void randomize_field()
{
    // grid_size is a plain global; the extra bound keeps a larger value from
    // writing past the array.
    for (int i = 0; static_cast<double>(i) < grid_size && i < grid_side; i++)
        for (int j = 0; static_cast<double>(j) < grid_size && j < grid_side; j++) {
            double r = static_cast<double>(random_draw());
            display_grid[i][j] = 1.0 + 0.1 * r / static_cast<double>(random_draw_max);
        }
}

void grid_to_field(double *dst)
{
    for (int k = 0; k < grid_cells; k++)
        dst[k] = display_grid[k / grid_side][k % grid_side];
}

void field_to_grid(const double *src)
{
    for (int i = 0; i < grid_side; i++)
        for (int j = 0; j < grid_side; j++)
            display_grid[i][j] = src[i * grid_side + j];
}
