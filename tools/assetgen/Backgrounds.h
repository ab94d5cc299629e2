// Large opaque backdrops: the four board backgrounds and the title screen's.
#pragma once

#include "Canvas.h"
#include "Paint.h"

// Fills the whole canvas pixel by pixel from a colour function.
template <typename F>
void fillPixels(Canvas& canvas, F colourAt)
{
    cairo_surface_t* s = canvas.surface();
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < canvas.height(); y++) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < canvas.width(); x++) {
            const Rgb c = colourAt(x, y);
            auto channel = [](double v) {
                const int i = int(v * 255 + 0.5);
                return uint32_t(i < 0 ? 0 : i > 255 ? 255 : i);
            };
            row[x] = 0xFF000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
        }
    }
    cairo_surface_mark_dirty(s);
}

// The board background of theme 1..4, 480 x 480.
void drawBoardBackground(Canvas& canvas, int theme);

// The night sky behind the title screen, 640 x 480; every menu picture is
// cut from it so that the bands join without seams.
void drawMenuBackdrop(Canvas& canvas);

// Scattered stars of varied size and brightness.
void starField(cairo_t* cr, int width, int height, int count, int seed, double brightness);
