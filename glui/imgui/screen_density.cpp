// SPDX-License-Identifier: MIT
#include "glui/imgui/backend.h"

#include "glui/core/spinner_value.h"
#include "imgui.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <unistd.h>

#include <cmath>

const char *const density_font_path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

namespace {

const double normal_dpi = 96.0;
const float normal_font_pixels = 13.0f; // ImGui's own font

} // namespace

double density_scale(const char *resources)
{
    if (resources == nullptr)
        return 1.0;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr)
        return 1.0;
    char *type = nullptr;
    XrmValue value = {0, nullptr};
    double dpi = 0.0;
    bool found = XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) &&
                 value.addr != nullptr && read_number_text(value.addr, &dpi);
    XrmDestroyDatabase(database);
    if (!found || !(dpi > 0.0))
        return 1.0;
    return std::fmin(std::fmax(dpi / normal_dpi, 0.5), 4.0);
}

void apply_density(double scale, const char *font_path)
{
    if (scale == 1.0)
        return;
    float pixels = normal_font_pixels * static_cast<float>(scale);
    ImFontAtlas *fonts = ImGui::GetIO().Fonts;
    fonts->Clear();
    // ImGui stops on a font file it cannot open, so the file is tried first.
    bool built = font_path != nullptr && access(font_path, R_OK) == 0 &&
                 fonts->AddFontFromFileTTF(font_path, pixels) != nullptr && fonts->Build();
    if (!built) {
        // ImGui's own font, in whole pixels as ImGui draws it at 13.
        fonts->Clear();
        ImFontConfig config;
        config.SizePixels = pixels;
        config.OversampleH = config.OversampleV = 1;
        config.PixelSnapH = true;
        fonts->AddFontDefault(&config);
        fonts->Build();
    }
    ImGui::GetStyle().ScaleAllSizes(static_cast<float>(scale));
}
