// SPDX-License-Identifier: MIT
// The program's description (web/page/page_description.h): every text and
// number the page shows of its program, which the build wrote into the page,
// so that the page knows it before its module has loaded.
export const page = JSON.parse(document.getElementById("page-description").textContent);
