// SPDX-License-Identifier: MIT
// Spinner values as text and numbers: reading committed text, bringing a value
// into a spinner's limits, showing a value in the text field, and quoting
// what the user typed. Pure functions; nothing here knows about windows or
// ImGui.
#pragma once

// Reads a decimal number: optional blanks, an optional sign, digits with an
// optional point (".5" and "5." count) and an optional exponent, optional
// blanks. Returns false and leaves *value alone for anything else: empty text,
// letters, "nan", "inf", hexadecimal, "1..2", "3x". A number beyond the range
// of a double reads as an infinity of its sign, which the limits then catch.
bool read_number_text(const char *text, double *value);

// Brings value into a spinner's range. GLUI_LIMIT_CLAMP clamps to [low, high];
// GLUI_LIMIT_WRAP sends a value past one end to the other end; GLUI_LIMIT_NONE
// leaves it. Every type then keeps the result representable: an integer
// spinner's value is clamped to the int range (its limits are rounded
// inwards to whole numbers), a float spinner's to +-FLT_MAX. NaN gives low
// (as rounded) under GLUI_LIMIT_CLAMP and GLUI_LIMIT_WRAP, and 0 under
// GLUI_LIMIT_NONE, which has no low to give.
double limit_spinner_value(double value, int data_type, int limit_type, double low, double high);

// Turns text committed in a spinner's field into the value to store: true and
// *value set to the limited value, or false (refused, *value untouched) when
// the text is not a number (see read_number_text) or, for GLUI_SPINNER_INT,
// not a whole number ("2.5", "3e-1"). "2.0" and "1e30" are whole numbers.
bool committed_spinner_value(const char *text, int data_type, int limit_type, double low,
                             double high, double *value);

// Writes value as the field shows it into text (size bytes, at least 32):
// "%d" for GLUI_SPINNER_INT; for GLUI_SPINNER_FLOAT the shortest "%g" text
// that reads back as the same float, so 2.25f shows "2.25" and 1.6f "1.6".
void format_spinner_value(double value, int data_type, char *text, int size);

// The value one step of a spinner away from value, direction +1 or -1, before
// the limits: value +- 1 for GLUI_SPINNER_INT; for GLUI_SPINNER_FLOAT a tenth
// added in decimal to the number the field shows for value, read back as typed
// text is, so that 1.5 stepped up thirteen times stores what typing "2.8"
// stores and 2.25 stepped up what typing "2.35" stores.
double stepped_spinner_value(double value, int data_type, int direction);

// Bytes that always hold quote_user_text's result: 24 characters of up to
// 4 bytes, the ellipsis (3 bytes in UTF-8) and the NUL.
const int quoted_text_size = 104;

// Writes text (UTF-8) as words about it quote it into quoted (size bytes, at
// least quoted_text_size): trimmed of blanks (spaces and tabs), and when
// more than 24 characters (Unicode code points) are left, their first 24
// followed by "\u2026" (the ellipsis), cut between characters. In text that is
// not valid UTF-8, a character is any byte but a continuation byte (10xxxxxx)
// with at most 3 continuation bytes after it, and a continuation byte that
// none claims is one by itself, so that no character is longer than 4 bytes.
void quote_user_text(const char *text, char *quoted, int size);
