// SPDX-License-Identifier: MIT
#include "web/platform/webgl_batch.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <cstdio>

static GLuint program = 0;
static GLuint shaders[2] = {0, 0};
static bool program_checked = false;
static GLuint xy_buffer = 0;
static GLuint rgba_buffer = 0;
static GLuint corner_buffer = 0;
// Bound before linking, so that nothing asks for them afterwards.
static const GLuint xy_attribute = 0;
static const GLuint rgba_attribute = 1;

static const char *vertex_source = "attribute vec2 xy;\n"
                                   "attribute vec4 rgba;\n"
                                   "varying vec4 colour;\n"
                                   "void main() {\n"
                                   "    colour = rgba;\n"
                                   "    gl_Position = vec4(xy, 0.0, 1.0);\n"
                                   "}\n";

// A byte b reaches the fragment as b / 255 and is written back as b: the
// pixel shows exactly the byte the stand-in computed.
static const char *fragment_source = "precision mediump float;\n"
                                     "varying vec4 colour;\n"
                                     "void main() {\n"
                                     "    gl_FragColor = colour;\n"
                                     "}\n";

static GLuint compile(GLenum type, const char *source)
{
    GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

// Hands the shaders to WebGL and asks nothing back: every question about a
// shader or a program waits until the browser's GPU process has compiled and
// linked it, which on a software renderer takes long enough to stall the
// page. The link is checked after the first frame, in a task of its own.
static void set_up()
{
    program = emscripten_glCreateProgram();
    shaders[0] = compile(GL_VERTEX_SHADER, vertex_source);
    shaders[1] = compile(GL_FRAGMENT_SHADER, fragment_source);
    emscripten_glAttachShader(program, shaders[0]);
    emscripten_glAttachShader(program, shaders[1]);
    emscripten_glBindAttribLocation(program, xy_attribute, "xy");
    emscripten_glBindAttribLocation(program, rgba_attribute, "rgba");
    emscripten_glLinkProgram(program);
    emscripten_glGenBuffers(1, &xy_buffer);
    emscripten_glGenBuffers(1, &rgba_buffer);
    emscripten_glGenBuffers(1, &corner_buffer);
}

// Says on the console what went wrong when the program did not link, with
// the compilers' and the linker's logs.
static void check_program(void *)
{
    GLint linked = 0;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked)
        return;
    char log[512] = "";
    for (GLuint shader : shaders) {
        GLint compiled = 0;
        emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
        if (!compiled) {
            emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
            std::fprintf(stderr, "Error : shader does not compile in webgl_draw_triangles(): %s\n",
                         log);
        }
    }
    emscripten_glGetProgramInfoLog(program, sizeof log, nullptr, log);
    std::fprintf(stderr, "Error : program does not link in webgl_draw_triangles(): %s\n", log);
}

void webgl_draw_triangles(const float *xy, const unsigned char *rgba, int vertices,
                          const unsigned short *corners, int triangles)
{
    if (triangles <= 0)
        return;
    if (program == 0)
        set_up();
    if (!program_checked) {
        // By then the frame has been shown, which needed the program: the
        // GPU process is done with it and answers at once.
        emscripten_async_call(check_program, nullptr, 0);
        program_checked = true;
    }
    emscripten_glUseProgram(program);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, xy_buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, 2 * vertices * sizeof(float), xy, GL_STREAM_DRAW);
    emscripten_glEnableVertexAttribArray(xy_attribute);
    emscripten_glVertexAttribPointer(xy_attribute, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, rgba_buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, 4 * vertices, rgba, GL_STREAM_DRAW);
    emscripten_glEnableVertexAttribArray(rgba_attribute);
    emscripten_glVertexAttribPointer(rgba_attribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, 0, nullptr);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, corner_buffer);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, 3 * triangles * sizeof(unsigned short),
                            corners, GL_STREAM_DRAW);
    emscripten_glDrawElements(GL_TRIANGLES, 3 * triangles, GL_UNSIGNED_SHORT, nullptr);
}

void webgl_fit_viewport()
{
    int width = 0;
    int height = 0;
    emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &width,
                                             &height);
    emscripten_glViewport(0, 0, width, height);
}

void webgl_clear_color(float r, float g, float b, float a)
{
    // The viewers set the colour as soon as their window is there, well
    // before the first frame: the GPU process compiles meanwhile.
    if (program == 0)
        set_up();
    emscripten_glClearColor(r, g, b, a);
}

void webgl_clear(unsigned int mask)
{
    emscripten_glClear(mask);
}

bool webgl_context_lost()
{
    return emscripten_is_webgl_context_lost(emscripten_webgl_get_current_context());
}

void webgl_forget_objects()
{
    // The old names belong to the lost context; using them in the new one
    // is an error, and deleting them there would be too.
    program = 0;
    xy_buffer = 0;
    rgba_buffer = 0;
    corner_buffer = 0;
}
