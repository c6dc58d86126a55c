// SPDX-License-Identifier: MIT
// Prints a program's page description as JSON (page_description.h), for the
// build, which writes the page's HTML and manifest from it (write_page.py).
// Linked with one program's page_description.cpp; run by Node.js.
#include "web/page/page_description.h"

#include <cstdio>

int main()
{
    std::fputs(description_json(this_page), stdout);
    std::fputc('\n', stdout);
    return 0;
}
