// SPDX-License-Identifier: MIT
#include "tests/support/spinner_layout.h"

#include <algorithm>

std::vector<box> find_boxes(const picture &p, int min_side)
{
    std::vector<box> found;
    std::vector<char> seen(p.rgb.size(), 0);
    std::vector<int> stack;
    for (int start = 0; start < static_cast<int>(p.rgb.size()); start++) {
        if (seen[start])
            continue;
        std::uint32_t colour = p.rgb[start];
        int x0 = p.width, y0 = p.height, x1 = -1, y1 = -1, area = 0;
        bool touches_edge = false;
        seen[start] = 1;
        stack.assign(1, start);
        while (!stack.empty()) {
            int k = stack.back();
            stack.pop_back();
            int x = k % p.width, y = k / p.width;
            area++;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
            touches_edge |= x == 0 || y == 0 || x == p.width - 1 || y == p.height - 1;
            const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
            for (int n = 0; n < 4; n++) {
                int nx = x + dx[n], ny = y + dy[n];
                if (nx < 0 || ny < 0 || nx >= p.width || ny >= p.height)
                    continue;
                int nk = ny * p.width + nx;
                if (!seen[nk] && p.rgb[nk] == colour) {
                    seen[nk] = 1;
                    stack.push_back(nk);
                }
            }
        }
        box b{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
        if (!touches_edge && b.width >= min_side && b.height >= min_side &&
            4 * area >= 3 * b.width * b.height)
            found.push_back(b);
    }
    std::sort(found.begin(), found.end(), [](const box &a, const box &b) { return a.x < b.x; });
    return found;
}

bool spinner_of(const std::vector<box> &boxes, box *field, box *minus, box *plus)
{
    if (boxes.size() < 3)
        return false;
    const box &f = boxes[boxes.size() - 3], &m = boxes[boxes.size() - 2],
              &p = boxes[boxes.size() - 1];
    if (f.width <= 2 * f.height || m.width >= 2 * m.height || p.width >= 2 * p.height)
        return false;
    *field = f;
    *minus = m;
    *plus = p;
    return true;
}
