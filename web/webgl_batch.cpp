// SPDX-License-Identifier: MIT
#include "web/webgl_batch.h"

#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <cstdio>

static GLuint program = 0;
static GLuint xy_buffer = 0;
static GLuint rgba_buffer = 0;
static GLint xy_attribute = -1;
static GLint rgba_attribute = -1;

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
    GLint ok = 0;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = "";
        emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "Error : shader does not compile in webgl_draw_triangles(): %s\n",
                     log);
    }
    return shader;
}

static void set_up()
{
    program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, vertex_source));
    emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragment_source));
    emscripten_glLinkProgram(program);
    xy_attribute = emscripten_glGetAttribLocation(program, "xy");
    rgba_attribute = emscripten_glGetAttribLocation(program, "rgba");
    emscripten_glGenBuffers(1, &xy_buffer);
    emscripten_glGenBuffers(1, &rgba_buffer);
}

void webgl_draw_triangles(const float *xy, const unsigned char *rgba, int count)
{
    if (count <= 0)
        return;
    if (program == 0)
        set_up();
    emscripten_glUseProgram(program);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, xy_buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, 6 * count * sizeof(float), xy, GL_STREAM_DRAW);
    emscripten_glEnableVertexAttribArray(xy_attribute);
    emscripten_glVertexAttribPointer(xy_attribute, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, rgba_buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, 12 * count, rgba, GL_STREAM_DRAW);
    emscripten_glEnableVertexAttribArray(rgba_attribute);
    emscripten_glVertexAttribPointer(rgba_attribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, 0, nullptr);
    emscripten_glDrawArrays(GL_TRIANGLES, 0, 3 * count);
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
}
