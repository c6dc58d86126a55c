// SPDX-License-Identifier: MIT
// The grid's frames drawn with WebGL: what the OpenGL stand-in hands over
// (gl_stand_in.cpp), a clear and indexed triangles in normalised device
// coordinates with a colour byte per component at each vertex.
//
// The page runs this file as a worker that owns the canvas: compiling the
// shaders, drawing and waiting for the GPU then happen beside the page, which
// stays free for presses, text and the plot. A browser that has no WebGL in a
// worker loads the same file into the page instead, and it draws there.
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

// Draws frames on canvas (a canvas element or an OffscreenCanvas); null if
// the browser gives it no WebGL. A frame is a list of steps, each {clear:
// [r, g, b, a]} or {xy, rgba, corners} (Float32Array, Uint8Array,
// Uint16Array). restored() is called when a lost context is back.
function drawing_on(canvas, restored) {
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

    canvas.addEventListener("webglcontextlost", function(event) {
        // Cancelled, the loss lets the context come back; it comes back
        // empty.
        event.preventDefault();
        objects = null;
    });
    canvas.addEventListener("webglcontextrestored", restored);

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

// In a worker: first says whether workers here have WebGL at all, which the
// page must know before it hands over its canvas. Then each message is
// {canvas}, {frame}, {side}, {pixels: true} or {lost}; the worker answers
// {webgl}, {shown: true} once the GPU has drawn the first frame, {restored:
// true} and {pixels}.
let drawing = null;
let shown = false;
const probe = typeof OffscreenCanvas === "function" ? new OffscreenCanvas(1, 1) : null;
scope.postMessage({webgl: !!(probe && probe.getContext("webgl", attributes))});
scope.onmessage = function(event) {
    const message = event.data;
    if (message.canvas) {
        drawing = drawing_on(message.canvas, () => scope.postMessage({restored: true}));
        if (!drawing)
            scope.postMessage({webgl: false});
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
