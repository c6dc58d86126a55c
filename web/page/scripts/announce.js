// SPDX-License-Identifier: MIT
// Words for assistive technology: a live region told a text.

// Puts text into region (a live region). A region told the text it holds
// again stays silent; a no-break space makes it new, so that it is said.
export function say_in(region, text) {
    region.textContent = region.textContent === text ? text + "\u00a0" : text;
}
