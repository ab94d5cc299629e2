#include "Canvas.h"

#include <SDL.h>

#include <algorithm>
#include <stdexcept>

Canvas::Canvas(int width, int height) : w(width), h(height)
{
    image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    context = cairo_create(image);
    if (cairo_status(context) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot create a drawing surface");
}

Canvas::~Canvas()
{
    cairo_destroy(context);
    cairo_surface_destroy(image);
}

void Canvas::paste(const Canvas& other, double x, double y)
{
    cairo_save(context);
    cairo_set_source_surface(context, other.image, x, y);
    cairo_paint(context);
    cairo_restore(context);
}

static uint32_t* row(cairo_surface_t* image, int y)
{
    unsigned char* data = cairo_image_surface_get_data(image);
    return reinterpret_cast<uint32_t*>(data + y * cairo_image_surface_get_stride(image));
}

void Canvas::flattenForKey(double edgeR, double edgeG, double edgeB)
{
    cairo_surface_flush(image);
    const int er = int(edgeR * 255 + 0.5);
    const int eg = int(edgeG * 255 + 0.5);
    const int eb = int(edgeB * 255 + 0.5);
    for (int y = 0; y < h; y++) {
        uint32_t* p = row(image, y);
        for (int x = 0; x < w; x++) {
            const uint32_t v = p[x];
            const int a = v >> 24;
            if (a < 128) {
                p[x] = 0xFF000000u;
                continue;
            }
            // Premultiplied colour plus the edge colour for the uncovered part.
            int r = int((v >> 16) & 255) + er * (255 - a) / 255;
            int g = int((v >> 8) & 255) + eg * (255 - a) / 255;
            int b = int(v & 255) + eb * (255 - a) / 255;
            r = std::min(r, 255);
            g = std::min(g, 255);
            b = std::min(b, 255);
            // A 5-bit channel drops the low three bits; keep at least one
            // channel above them so the pixel never turns into the key.
            if (std::max(r, std::max(g, b)) < 8) {
                r = std::max(r, 8);
                g = std::max(g, 8);
                b = std::max(b, 8);
            }
            p[x] = 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
        }
    }
    cairo_surface_mark_dirty(image);
}

void Canvas::flattenOpaque()
{
    cairo_surface_flush(image);
    for (int y = 0; y < h; y++) {
        uint32_t* p = row(image, y);
        for (int x = 0; x < w; x++)
            p[x] |= 0xFF000000u;  // premultiplied over black: colour stays
    }
    cairo_surface_mark_dirty(image);
}

void Canvas::pixel(int x, int y, int& r, int& g, int& b, int& a) const
{
    cairo_surface_flush(image);
    const uint32_t v = row(image, y)[x];
    a = v >> 24;
    r = (v >> 16) & 255;
    g = (v >> 8) & 255;
    b = v & 255;
    if (a > 0 && a < 255) {
        r = r * 255 / a;
        g = g * 255 / a;
        b = b * 255 / a;
    }
}

std::vector<unsigned char> Canvas::toBmp() const
{
    cairo_surface_flush(image);
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    if (!s)
        throw std::runtime_error(std::string("cannot create a picture: ") + SDL_GetError());
    SDL_LockSurface(s);
    for (int y = 0; y < h; y++) {
        const uint32_t* src = row(image, y);
        Uint8* dst = static_cast<Uint8*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < w; x++) {
            // Premultiplied over black is exactly what an opaque picture shows.
            const uint32_t v = src[x];
            dst[3 * x + 0] = v & 255;
            dst[3 * x + 1] = (v >> 8) & 255;
            dst[3 * x + 2] = (v >> 16) & 255;
        }
    }
    SDL_UnlockSurface(s);

    const int rowBytes = (w * 3 + 3) & ~3;
    std::vector<unsigned char> bytes(1024 + size_t(rowBytes) * h);
    SDL_RWops* rw = SDL_RWFromMem(bytes.data(), int(bytes.size()));
    const int result = SDL_SaveBMP_RW(s, rw, 0);
    const int size = SDL_RWtell(rw);
    SDL_RWclose(rw);
    SDL_FreeSurface(s);
    if (result != 0 || size <= 0)
        throw std::runtime_error(std::string("cannot write a BMP: ") + SDL_GetError());
    bytes.resize(size);
    return bytes;
}
