// SPDX-License-Identifier: MIT
// How large a control window is drawn. Desktop programs follow the X resource
// Xft.dpi, which GNOME, KDE and Xfce set to 144 or 192 on high-density screens;
// 96 is the normal density, at which the window keeps ImGui's own 13-pixel font.
#pragma once

// DejaVu Sans (Debian's fonts-dejavu-core), drawn at densities other than 96.
extern const char *const density_font_path;

// The scale for the X resources in resources, the text XResourceManagerString
// returns: Xft.dpi / 96, held to 0.5 .. 4 so that a stray value cannot ask for
// a font thousands of pixels high. 1 when resources is null, names no Xft.dpi,
// or its value is not a positive number ("192" and "144.0" are; "auto",
// "-96" and "0" are not).
double density_scale(const char *resources);

// Makes the current ImGui context draw at scale, before its first frame: for
// scale 1 nothing changes; otherwise every style size is scaled and the font
// is font_path rasterised at 13 x scale pixels, or, when that file cannot be
// read, ImGui's own font rasterised at that size.
void apply_density(double scale, const char *font_path);
