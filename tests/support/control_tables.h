// SPDX-License-Identifier: MIT
// The control layer's desktop backend without a window system, for its
// tests: control windows made by GLUI's own create_glui against the GLUT
// stand-in (glut_fake.h, linked with this), and the tables emptied between
// tests. Everything else the tests reach through glui/imgui/backend.h and
// the core's tables it includes (glui/core/spinner_table.h).
#pragma once

#include "glui/imgui/backend.h"

// Makes a control window as the viewers do (GLUI_Master.create_glui), its
// ImGui context left current, and returns its row; -1 when the table is full.
int add_control_window_row();

// Destroys every control window's ImGui context, with the OpenGL2 backend
// data create_glui gave it, and empties the layer's tables.
void clear_control_tables();

// Whether window holds events that no frame has taken yet.
bool input_pending(int window);
