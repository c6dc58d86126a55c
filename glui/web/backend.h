// SPDX-License-Identifier: MIT
// What the page backend (page_panel.cpp) keeps in each row of the layer's
// tables; the page's elements themselves are its script's. Private to the
// layer; glui/core/spinner_table.h includes it.
#pragma once

struct window_backend {};

struct spinner_backend {
    bool edited; // the field's text was changed since it last showed the value
};
