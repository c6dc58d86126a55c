// SPDX-License-Identifier: MIT
// Takes the README's pictures of both viewers and makes their icons: starts
// each program on the current X display (scripts/screenshots.sh gives it a
// private Xvfb), lets it evolve for a number of right presses, writes the
// screen area that holds its grid and control windows to a PNG file, and
// scales the grid inside its white margin down to the icon sizes.
// Usage: take_screenshots SPINGRID_PATH FIELDGRID_PATH PICTURE_FOLDER SOURCE_FOLDER
// The icons go to SOURCE_FOLDER/<program>/icons/<program>-<size>.png.
#include "tests/support/x11_harness.h"

#include <stb_image_resize.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// pic's pixels as 8-bit RGB, as the PNG writer and the scaler take them.
std::vector<unsigned char> rgb_bytes(const picture &pic)
{
    std::vector<unsigned char> rgb;
    for (std::uint32_t p : pic.rgb) {
        rgb.push_back(static_cast<unsigned char>(p >> 16));
        rgb.push_back(static_cast<unsigned char>(p >> 8));
        rgb.push_back(static_cast<unsigned char>(p));
    }
    return rgb;
}

bool write_png(const std::string &path, int width, int height, const unsigned char *rgb)
{
    if (!stbi_write_png(path.c_str(), width, height, 3, rgb, width * 3)) {
        std::fprintf(stderr, "take_screenshots: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%d x %d)\n", path.c_str(), width, height);
    return true;
}

// The icons of a program: its grid picture without the white margin (one
// cell of the cells + 2 that span the window), scaled down to each size (192
// and 512 are the web pages' install icons). The small sizes show the middle
// quarter, so that their pattern stays visible.
bool write_icons(const picture &grid, int cells, const std::string &stem)
{
    const int margin = (grid.width + cells + 1) / (cells + 2);
    const int whole = std::min(grid.width, grid.height) - 2 * margin;
    for (int size : {16, 32, 48, 64, 128, 192, 256, 512}) {
        const int side = size <= 64 ? whole / 2 : whole;
        const int corner = margin + (whole - side) / 2;
        std::vector<unsigned char> square = rgb_bytes(crop(grid, box{corner, corner, side, side}));
        std::vector<unsigned char> icon(size * size * 3);
        if (!stbir_resize_uint8(square.data(), side, side, 0, icon.data(), size, size, 0, 3) ||
            !write_png(stem + "-" + std::to_string(size) + ".png", size, size, icon.data()))
            return false;
    }
    return true;
}

// The side of the grid window the icons are cut from: large enough that the
// grid inside its margin is scaled down even to 512 pixels.
constexpr int icon_window = 540;

// Starts program at the screen's top-left corner, gives it `presses` right
// presses in the grid window, writes both windows to path and the grid of
// `cells` per side, grown to icon_window, to the icons named
// icon_stem-<size>.png.
bool shoot(Display *d, const std::string &program, const char *control_title, int presses,
           const std::string &path, int cells, const std::string &icon_stem)
{
    pid_t pid = start_program(program, {"-geometry", "300x300+8+8"});
    Window grid = wait_for_window(d, program, pid, 10000);
    Window controls = wait_for_window(d, control_title, pid, 10000);
    picture shown;
    bool ok = grid != 0 && controls != 0 &&
              wait_until([&] { return grab_picture(d, grid, &shown); }, 5000);
    for (int n = 0; ok && n < presses; n++) {
        picture before = shown;
        click(d, grid, 150, 150, 3);
        ok = wait_until(
            [&] { return grab_picture(d, grid, &shown) && !same_picture(shown, before); }, 5000);
    }
    window_info g, c;
    picture screen;
    // Move the pointer away so that no widget shows as hovered.
    ok = ok && get_window_info(d, grid, &g) && get_window_info(d, controls, &c);
    if (ok)
        move_pointer(d, DefaultRootWindow(d), 1000, 900);
    ok = ok && stays_true([&] { return grab_picture(d, grid, &shown); }, 300) &&
         grab_picture(d, DefaultRootWindow(d), &screen);
    // The grid at the icons' size, above the control window that it now
    // reaches: two grabs in a row alike once redrawn.
    picture large;
    if (ok) {
        XResizeWindow(d, grid, icon_window, icon_window);
        XRaiseWindow(d, grid);
        XFlush(d);
    }
    ok = ok && wait_until(
                   [&] {
                       picture before = large;
                       return grab_picture(d, grid, &large) && large.width == icon_window &&
                              large.height == icon_window && same_picture(large, before);
                   },
                   5000, {}, 100);
    stop_program(pid);
    if (!ok) {
        std::fprintf(stderr, "take_screenshots: %s did not show its windows\n", program.c_str());
        return false;
    }
    int width = std::min(screen.width, std::max(g.root_x + g.width, c.root_x + c.width) + 8);
    int height = std::min(screen.height, std::max(g.root_y + g.height, c.root_y + c.height) + 8);
    std::vector<unsigned char> rgb = rgb_bytes(crop(screen, box{0, 0, width, height}));
    return write_png(path, width, height, rgb.data()) && write_icons(large, cells, icon_stem);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: take_screenshots SPINGRID_PATH FIELDGRID_PATH "
                             "PICTURE_FOLDER SOURCE_FOLDER\n");
        return 2;
    }
    std::string why;
    Display *d = open_test_display(&why);
    if (d == nullptr) {
        std::fprintf(stderr, "take_screenshots: %s\n", why.c_str());
        return 1;
    }
    std::string folder = argv[3], source = argv[4];
    // A few sweeps at temperature 1 let domains form; the field needs some
    // sixty steps before its pattern has grown out of the small initial noise.
    bool ok = shoot(d, argv[1], "Temperature", 4, folder + "/spingrid.png", 50,
                    source + "/spingrid/icons/spingrid") &&
              shoot(d, argv[2], "alpha", 60, folder + "/fieldgrid.png", 64,
                    source + "/fieldgrid/icons/fieldgrid");
    XCloseDisplay(d);
    return ok ? 0 : 1;
}
