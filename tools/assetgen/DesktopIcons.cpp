// The icons a desktop shows for the game: the window icon's drawing at every
// size a hicolor theme asks for, and once more as SVG.
#include "Pictures.h"

#include <cairo-svg.h>

#include <filesystem>
#include <stdexcept>
#include <string>

const int kDesktopIconSizes[8] = {16, 24, 32, 48, 64, 128, 256, 512};

namespace {

std::string appsFolder(const std::string& dir, const std::string& size)
{
    const std::filesystem::path folder = std::filesystem::path(dir) / size / "apps";
    std::filesystem::create_directories(folder);
    return folder.string();
}

}  // namespace

void writeDesktopIcons(const std::string& dir)
{
    for (int size : kDesktopIconSizes) {
        const std::string edge = std::to_string(size);
        const std::string path = appsFolder(dir, edge + "x" + edge) + "/tessal.png";
        Canvas canvas(size, size);
        drawIcon(canvas);
        if (cairo_surface_write_to_png(canvas.surface(), path.c_str()) != CAIRO_STATUS_SUCCESS)
            throw std::runtime_error("cannot write " + path);
    }
    // The same drawing on a 128 x 128 page: a scalable icon of vector paths.
    const std::string path = appsFolder(dir, "scalable") + "/tessal.svg";
    cairo_surface_t* svg = cairo_svg_surface_create(path.c_str(), 128, 128);
    cairo_t* cr = cairo_create(svg);
    drawIcon(cr, 128);
    cairo_destroy(cr);
    cairo_surface_finish(svg);
    const cairo_status_t status = cairo_surface_status(svg);
    cairo_surface_destroy(svg);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path);
}
