// SPDX-License-Identifier: MIT
#include "fieldgrid/field_state.h"

#include "common/random_draw.h"

double dt = 0.1;
float alpha = 1.5f;
double stiffness = 2.0;
double range_coeff = 0.6366197723675814;
double feed_level = 1.5;
double feed_decay = 0.01;
double grid_size = 64.0;

double field_re[4096];
double field_im[4096];
double spec_re[4096];
double spec_im[4096];
double display_grid[64][64];
int step_count = 0;

void randomize_field()
{
    // grid_size is a plain global; the extra bound keeps a larger value from
    // writing past the 64 x 64 array.
    for (int i = 0; static_cast<double>(i) < grid_size && i < 64; i++)
        for (int j = 0; static_cast<double>(j) < grid_size && j < 64; j++) {
            double r = static_cast<double>(random_draw());
            display_grid[i][j] = 1.0 + 0.1 * r / 32767.0;
        }
}

void grid_to_field(double *dst)
{
    for (int k = 0; k < 4096; k++)
        dst[k] = display_grid[k / 64][k % 64];
}

void field_to_grid(const double *src)
{
    for (int i = 0; i < 64; i++)
        for (int j = 0; j < 64; j++)
            display_grid[i][j] = src[i * 64 + j];
}
