// SPDX-License-Identifier: MIT
// The OpenGL stand-in's side of WebGL (webgl_calls.h): each call hands its
// part of the frame to the page's Module.drawing, which draws it beside the
// page (webgl_draw.js). The arrays are copied, so the stand-in may refill its
// own at once.
mergeInto(LibraryManager.library, {
    webgl_draw_triangles: function(xy, rgba, vertices, corners, triangles) {
        Module.drawing.triangles(HEAPF32.slice(xy >> 2, (xy >> 2) + 2 * vertices),
                                 HEAPU8.slice(rgba, rgba + 4 * vertices),
                                 HEAPU16.slice(corners >> 1, (corners >> 1) + 3 * triangles));
    },
    webgl_clear: function(red, green, blue, alpha) {
        Module.drawing.clear([red, green, blue, alpha]);
    },
});
