// Takes the README's pictures of both viewers: starts each program on the
// current X display (scripts/screenshots.sh gives it a private Xvfb), lets it
// evolve for a number of right presses, and writes the screen area that holds
// its grid and control windows to a PNG file.
// Usage: take_screenshots SPINGRID_PATH FIELDGRID_PATH OUTPUT_FOLDER
#include "tests/x11_harness.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Starts program at the screen's top-left corner, gives it `presses` right
// presses in the grid window, and writes both windows to path.
bool shoot(Display *d, const std::string &program, const char *control_title, int presses,
           const std::string &path)
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
    stop_program(pid);
    if (!ok) {
        std::fprintf(stderr, "take_screenshots: %s did not show its windows\n", program.c_str());
        return false;
    }
    int width = std::min(screen.width, std::max(g.root_x + g.width, c.root_x + c.width) + 8);
    int height = std::min(screen.height, std::max(g.root_y + g.height, c.root_y + c.height) + 8);
    std::vector<unsigned char> rgb;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            std::uint32_t p = pixel_at(screen, x, y);
            rgb.push_back(static_cast<unsigned char>(p >> 16));
            rgb.push_back(static_cast<unsigned char>(p >> 8));
            rgb.push_back(static_cast<unsigned char>(p));
        }
    if (!stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3)) {
        std::fprintf(stderr, "take_screenshots: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%d x %d)\n", path.c_str(), width, height);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: take_screenshots SPINGRID_PATH FIELDGRID_PATH FOLDER\n");
        return 2;
    }
    std::string why;
    Display *d = open_test_display(&why);
    if (d == nullptr) {
        std::fprintf(stderr, "take_screenshots: %s\n", why.c_str());
        return 1;
    }
    std::string folder = argv[3];
    // A few sweeps at temperature 1 let domains form; the field needs some
    // sixty steps before its pattern has grown out of the small initial noise.
    bool ok = shoot(d, argv[1], "Temperature", 4, folder + "/spingrid.png") &&
              shoot(d, argv[2], "alpha", 60, folder + "/fieldgrid.png");
    XCloseDisplay(d);
    return ok ? 0 : 1;
}
