// SPDX-License-Identifier: MIT
// The grid's frames drawn with WebGL, or with a 2D canvas where there is no
// WebGL: what the OpenGL stand-in hands over (gl_stand_in.cpp), a clear and
// indexed triangles in normalised device coordinates with a colour byte per
// component at each vertex.
//
// The page runs this file as a worker that owns the canvas: compiling the
// shaders, drawing and waiting for the GPU then happen beside the page, which
// stays free for presses, text and the plot. A browser that has no WebGL in
// a worker loads the same file into the page instead, and it draws there,
// with WebGL where the page has it.
"use strict";

(function(scope) {
const vertex_source = "attribute vec2 xy;\n" +
                      "attribute vec4 rgba;\n" +
                      "varying vec4 colour;\n" +
                      "void main() {\n" +
                      "    colour = rgba;\n" +
                      "    gl_Position = vec4(xy, 0.0, 1.0);\n" +
                      "}\n";
// A byte b reaches the fragment as b / 255 and is written back as b: the
// pixel shows exactly the byte the stand-in computed.
const fragment_source = "precision mediump float;\n" +
                        "varying vec4 colour;\n" +
                        "void main() {\n" +
                        "    gl_FragColor = colour;\n" +
                        "}\n";
// Bound before linking, so that nothing asks for them afterwards.
const xy_attribute = 0;
const rgba_attribute = 1;

// The grid is drawn whole in every frame, so nothing needs the drawing
// buffer kept after the browser has shown it.
const attributes = {
    alpha: false,
    antialias: false,
    depth: false,
    stencil: false
};

// Whether a WebGL context made now would draw: there is one, and it is not
// lost from the start (as where the browser has given up on the GPU, and
// would lock the canvas to a context that never comes back).
function webgl_works(probe) {
    const gl = probe && probe.getContext("webgl", attributes);
    return !!gl && !gl.isContextLost();
}

// Draws frames on canvas (a canvas element or an OffscreenCanvas) with WebGL
// where it works, else with a 2D context; null if neither can be had. A
// frame is a list of steps, each {clear: [r, g, b, a]} or {xy, rgba,
// corners} (Float32Array, Uint8Array, Uint16Array). restored() is called
// when a lost context is back. webgl false skips the test of WebGL, which
// was made on another canvas.
function drawing_on(canvas, restored, webgl, gave_up) {
    if (webgl === undefined) {
        const probe = typeof OffscreenCanvas === "function" ? new OffscreenCanvas(1, 1)
                                                            : document.createElement("canvas");
        webgl = webgl_works(probe);
    }
    return (webgl && webgl_drawing_on(canvas, restored, gave_up)) || flat_drawing_on(canvas);
}

// The frame's triangle pairs that make an axis-aligned rectangle: each is
// called back as rectangle(left, bottom, right, top, first vertex) in device
// pixels (rows from the bottom), snapped to the pixels whose centres it
// covers, as a GPU rasterises; the other triangles as triangle(three vertex
// numbers).
function each_shape(step, width, height, rectangle, triangle) {
    const xy = step.xy;
    const corners = step.corners;
    // Pixel i is covered when its centre i + 0.5 lies in [edge, next edge).
    const column = (v) => Math.ceil((xy[2 * v] + 1) * width / 2 - 0.5);
    const row = (v) => Math.ceil((xy[2 * v + 1] + 1) * height / 2 - 0.5);
    const count = corners.length / 3;
    for (let t = 0; t < count; t++) {
        const at = 3 * t;
        if (t + 1 < count) {
            // Two triangles that between them name only the four corners
            // of a box, each leaving out a different one, opposite the
            // other's: the two halves of the box.
            const v = corners.subarray(at, at + 6);
            let x0 = Infinity, x1 = -Infinity, y0 = Infinity, y1 = -Infinity;
            for (const k of v) {
                x0 = Math.min(x0, xy[2 * k]);
                x1 = Math.max(x1, xy[2 * k]);
                y0 = Math.min(y0, xy[2 * k + 1]);
                y1 = Math.max(y1, xy[2 * k + 1]);
            }
            const corner = (k) => (xy[2 * k] === x0   ? 0
                                   : xy[2 * k] === x1 ? 1
                                                      : 4) +
                                  (xy[2 * k + 1] === y0   ? 0
                                   : xy[2 * k + 1] === y1 ? 2
                                                          : 4);
            const left_out = [6, 6];
            let box = x0 < x1 && y0 < y1;
            for (let half = 0; half < 2 && box; half++) {
                const seen = v.subarray(3 * half, 3 * half + 3).map(corner);
                const sum = seen[0] + seen[1] + seen[2];
                box = seen.every((c) => c < 4) && new Set(seen).size === 3;
                left_out[half] = 6 - sum;
            }
            if (box && left_out[0] + left_out[1] === 3) {
                let low = v[0], high = v[0];
                for (const k of v) {
                    if (corner(k) === 0)
                        low = k;
                    if (corner(k) === 3)
                        high = k;
                }
                rectangle(column(low), row(low), column(high), row(high), v[0]);
                t++;
                continue;
            }
        }
        triangle(corners[at], corners[at + 1], corners[at + 2]);
    }
}

// Draws frames with a 2D context, as the WebGL drawing does: each cell (two
// triangles of one colour that make a box) a rectangle of whole device
// pixels in the colour of its first vertex, opaque, so that neighbours share
// their edges and every pixel has exactly the colour's bytes. The
// rectangles are written into an image put on the canvas whole, which is
// many times faster than a fill per cell; a frame with triangles of any
// other shape is filled shape by shape instead, those as paths. null if
// there is no 2D context.
function flat_drawing_on(canvas) {
    const context = canvas.getContext("2d", {alpha: false});
    if (!context)
        return null;
    let latest = null;
    let image = null;
    let words = null;
    const little_endian = new Uint8Array(new Uint32Array([1]).buffer)[0] === 1;
    const word = (r, g, b) => (little_endian ? (255 << 24 | b << 16 | g << 8 | r)
                                             : (r << 24 | g << 16 | b << 8 | 255)) >>>
                              0;
    const clear_bytes = (clear) => clear.map((c) => Math.round(255 * Math.min(Math.max(c, 0), 1)));

    // The frame's steps as [colour word, left, bottom, right, top] boxes
    // (a clear is a box of the whole canvas), or null if a triangle is not
    // part of a box.
    function boxes_of(frame, width, height) {
        const boxes = [];
        let only_boxes = true;
        for (const step of frame) {
            if (step.clear) {
                boxes.push([word(...clear_bytes(step.clear)), 0, 0, width, height]);
                continue;
            }
            const rgba = step.rgba;
            each_shape(step, width, height, function(left, bottom, right, top, first) {
                const at = 4 * first;
                boxes.push([word(rgba[at], rgba[at + 1], rgba[at + 2]), left, bottom, right, top]);
            }, () => only_boxes = false);
        }
        return only_boxes ? boxes : null;
    }

    function put(boxes, width, height) {
        if (!image || image.width !== width || image.height !== height) {
            image = context.createImageData(width, height);
            words = new Uint32Array(image.data.buffer);
        }
        for (const [colour, left, bottom, right, top] of boxes) {
            const x0 = Math.max(left, 0), x1 = Math.min(right, width);
            // Rows from the top of the image.
            const y0 = Math.max(height - top, 0), y1 = Math.min(height - bottom, height);
            if (x0 < x1)
                for (let y = y0; y < y1; y++)
                    words.fill(colour, y * width + x0, y * width + x1);
        }
        context.putImageData(image, 0, 0);
    }

    // The same, a fill for each shape.
    function fill_shapes(frame, width, height) {
        const colour = (rgba, at) =>
            "rgb(" + rgba[at] + "," + rgba[at + 1] + "," + rgba[at + 2] + ")";
        context.setTransform(1, 0, 0, 1, 0, 0);
        context.globalAlpha = 1;
        context.globalCompositeOperation = "source-over";
        for (const step of frame) {
            if (step.clear) {
                context.fillStyle = colour(clear_bytes(step.clear), 0);
                context.fillRect(0, 0, width, height);
                continue;
            }
            const xy = step.xy;
            const rgba = step.rgba;
            each_shape(step, width, height,
                       function(left, bottom, right, top, first) {
                           context.fillStyle = colour(rgba, 4 * first);
                           context.fillRect(left, height - top, right - left, top - bottom);
                       },
                       function(a, b, c) {
                           context.fillStyle = colour(rgba, 4 * a);
                           context.beginPath();
                           for (const k of [a, b, c])
                               context.lineTo((xy[2 * k] + 1) * width / 2,
                                              (1 - xy[2 * k + 1]) * height / 2);
                           context.fill();
                       });
        }
    }

    function draw(frame) {
        latest = frame;
        const width = canvas.width;
        const height = canvas.height;
        if (width === 0 || height === 0)
            return;
        const boxes = boxes_of(frame, width, height);
        if (boxes)
            put(boxes, width, height);
        else
            fill_shapes(frame, width, height);
    }

    return {
        draw: draw,
        finish: function() {},
        resize: function(side) {
            canvas.width = side;
            canvas.height = side;
        },
        // As the WebGL drawing gives them: rows from the bottom.
        pixels: function() {
            if (latest)
                draw(latest);
            const width = canvas.width;
            const height = canvas.height;
            const data = new Uint8Array(4 * width * height);
            if (width > 0 && height > 0) {
                const image = context.getImageData(0, 0, width, height).data;
                for (let y = 0; y < height; y++)
                    data.set(image.subarray(4 * width * (height - 1 - y), 4 * width * (height - y)),
                             4 * width * y);
            }
            return {width: width, height: height, data: data};
        },
        // A 2D context has nothing to take away on request.
        lose_context: function() {},
    };
}

// How long a lost context may stay away before the drawing gives up on it,
// in milliseconds: browsers give one back within a second or so of a GPU
// reset, or never.
const lost_for_good_ms = 3000;

// Draws frames on canvas with WebGL; null if the browser gives it none.
// gave_up() (if given) is called when a lost context has not come back in
// lost_for_good_ms: a canvas that had WebGL can give no other context, so
// whoever drew on it must draw elsewhere.
function webgl_drawing_on(canvas, restored, gave_up) {
    const gl = canvas.getContext("webgl", attributes);
    if (!gl)
        return null;
    let objects = null;
    // The latest frame, drawn again to read its pixels.
    let latest = null;
    let losing = null;

    // Asks nothing back: a question about a shader or a program would wait
    // for the GPU to compile and link it. The link is checked once the first
    // frame is drawn.
    function set_up() {
        const program = gl.createProgram();
        const shaders = [
            [gl.VERTEX_SHADER, vertex_source], [gl.FRAGMENT_SHADER, fragment_source]
        ].map(function([type, source]) {
            const shader = gl.createShader(type);
            gl.shaderSource(shader, source);
            gl.compileShader(shader);
            gl.attachShader(program, shader);
            return shader;
        });
        gl.bindAttribLocation(program, xy_attribute, "xy");
        gl.bindAttribLocation(program, rgba_attribute, "rgba");
        gl.linkProgram(program);
        return {
            program: program,
            shaders: shaders,
            checked: false,
            buffers: [gl.createBuffer(), gl.createBuffer(), gl.createBuffer()],
        };
    }

    // Says on the console what went wrong when the program did not link.
    function check(made) {
        if (gl.isContextLost() || gl.getProgramParameter(made.program, gl.LINK_STATUS))
            return;
        for (const shader of made.shaders)
            if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS))
                console.error("Error : shader does not compile in webgl_draw.js: " +
                              gl.getShaderInfoLog(shader));
        console.error("Error : program does not link in webgl_draw.js: " +
                      gl.getProgramInfoLog(made.program));
    }

    function triangles(step) {
        const [xy_buffer, rgba_buffer, corner_buffer] = objects.buffers;
        gl.useProgram(objects.program);
        gl.bindBuffer(gl.ARRAY_BUFFER, xy_buffer);
        gl.bufferData(gl.ARRAY_BUFFER, step.xy, gl.STREAM_DRAW);
        gl.enableVertexAttribArray(xy_attribute);
        gl.vertexAttribPointer(xy_attribute, 2, gl.FLOAT, false, 0, 0);
        gl.bindBuffer(gl.ARRAY_BUFFER, rgba_buffer);
        gl.bufferData(gl.ARRAY_BUFFER, step.rgba, gl.STREAM_DRAW);
        gl.enableVertexAttribArray(rgba_attribute);
        gl.vertexAttribPointer(rgba_attribute, 4, gl.UNSIGNED_BYTE, true, 0, 0);
        gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, corner_buffer);
        gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, step.corners, gl.STREAM_DRAW);
        gl.drawElements(gl.TRIANGLES, step.corners.length, gl.UNSIGNED_SHORT, 0);
    }

    // Frames that come while the context is away are dropped: the page
    // asks for one once it is back.
    function draw(frame) {
        latest = frame;
        if (gl.isContextLost())
            return;
        if (!objects)
            objects = set_up();
        // The drawing buffer follows the canvas's size, so every frame takes
        // the viewport from it.
        gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
        for (const step of frame) {
            if (step.clear) {
                gl.clearColor(...step.clear);
                gl.clear(gl.COLOR_BUFFER_BIT);
            } else {
                triangles(step);
            }
        }
        if (!objects.checked) {
            objects.checked = true;
            // By then the frame has been shown, which needed the program.
            const made = objects;
            setTimeout(() => check(made));
        }
    }

    let waiting_for_context = 0;
    canvas.addEventListener("webglcontextlost", function(event) {
        // Cancelled, the loss lets the context come back; it comes back
        // empty.
        event.preventDefault();
        objects = null;
        if (gave_up)
            waiting_for_context = setTimeout(gave_up, lost_for_good_ms);
    });
    canvas.addEventListener("webglcontextrestored", function() {
        clearTimeout(waiting_for_context);
        restored();
    });

    return {
        draw: draw,
        // Returns once the GPU has drawn what was asked of it.
        finish: function() {
            if (!gl.isContextLost())
                gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
        },
        // The canvas's backing store, side by side pixels: it starts blank.
        resize: function(side) {
            canvas.width = side;
            canvas.height = side;
        },
        // The latest frame's pixels, rows from the bottom: {width, height,
        // data} (RGBA bytes).
        pixels: function() {
            if (latest)
                draw(latest);
            const width = gl.drawingBufferWidth;
            const height = gl.drawingBufferHeight;
            const data = new Uint8Array(4 * width * height);
            gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, data);
            return {width: width, height: height, data: data};
        },
        // Takes the context away (lost true) or gives it back, as the
        // browser may: a GPU reset, a driver update, memory reclaimed.
        lose_context: function(lost) {
            losing = losing || gl.getExtension("WEBGL_lose_context");
            if (lost)
                losing.loseContext();
            else
                losing.restoreContext();
        },
    };
}

if (typeof document !== "undefined") {
    scope.lattice = scope.lattice || {};
    scope.lattice.drawing_on = drawing_on;
    return;
}

// In a worker: first says whether workers here have WebGL, which the page
// must know before it hands over its canvas: without it, the page draws
// itself, with WebGL where the page has it, else in 2D ({webgl}, and how:
// "webgl", "2d" where the worker could draw only in 2D, or "none"). A canvas
// handed over that then gives no WebGL is drawn in 2D here. Then each
// message is {canvas}, {frame}, {side}, {pixels: true} or {lost}; the worker
// answers {webgl: false} if it cannot draw on the canvas at all, {shown:
// true} once the first frame has been drawn, {restored: true}, {pixels}, and
// {gave_up: true} when its lost context has not come back.
let drawing = null;
let shown = false;
const offscreen = typeof OffscreenCanvas === "function";
const webgl = offscreen && webgl_works(new OffscreenCanvas(1, 1));
const flat = offscreen && !webgl && !!new OffscreenCanvas(1, 1).getContext("2d");
scope.postMessage({webgl: webgl, how: webgl ? "webgl" : flat ? "2d" : "none"});
scope.onmessage = function(event) {
    const message = event.data;
    if (message.canvas) {
        drawing = drawing_on(message.canvas, () => scope.postMessage({restored: true}), webgl,
                             () => scope.postMessage({gave_up: true}));
        if (!drawing)
            scope.postMessage({webgl: false, how: "none"});
    } else if (!drawing) {
        return;
    } else if (message.frame) {
        drawing.draw(message.frame);
        if (!shown) {
            shown = true;
            drawing.finish();
            scope.postMessage({shown: true});
        }
    } else if (message.side) {
        drawing.resize(message.side);
    } else if (message.pixels) {
        const pixels = drawing.pixels();
        scope.postMessage({pixels: pixels}, [pixels.data.buffer]);
    } else if ("lost" in message) {
        drawing.lose_context(message.lost);
    }
};
})(globalThis);
