// SPDX-License-Identifier: MIT
// One ImGui frame of a control window's widgets. Used by the GLUT display
// callback and, without any window system, by the tests.
#pragma once

// The step button being held: the spinner, the direction (+1 or -1), and a
// count that changes with every new press, so that a repeat timer armed for
// an earlier press can tell it is stale. held_step_spinner is -1 when none.
extern int held_step_spinner;
extern int held_step_direction;
extern int held_step_press;

// Builds window's widgets between ImGui::NewFrame and ImGui::Render, with
// window's context current: a borderless ImGui window at (0, 0) fitted to its
// contents (its size is stored in the window row), and for each of the
// window's spinners its label, a text field and the "-" and "+" buttons.
// Committed text is written on leaving the field after an edit (Enter, Tab or
// a click elsewhere); Escape restores the shown value. A press on a step button
// steps once and marks it held until it is released. A wheel notch over the
// field or its buttons steps once (up +, down -), and so do Up and Down while
// the field has the keyboard, after committing an edit.
void build_control_frame(int window);
