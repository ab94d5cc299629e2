#include "Paint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

Rgb mix(Rgb a, Rgb b, double t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb lighten(Rgb c, double t) { return mix(c, Rgb{1, 1, 1}, t); }
Rgb darken(Rgb c, double t) { return mix(c, Rgb{0, 0, 0}, t); }
Rgb rgb255(int r, int g, int b) { return Rgb{r / 255.0, g / 255.0, b / 255.0}; }

void setColour(cairo_t* cr, Rgb c, double alpha)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha)
{
    cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}

static cairo_pattern_t* linear(double x0, double y0, double x1, double y1,
                               std::initializer_list<Stop> stops)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    for (const Stop& stop : stops)
        addStop(p, stop.offset, stop.colour, stop.alpha);
    return p;
}

void fillLinear(cairo_t* cr, double x0, double y0, double x1, double y1,
                std::initializer_list<Stop> stops, bool preserve)
{
    cairo_pattern_t* p = linear(x0, y0, x1, y1, stops);
    cairo_set_source(cr, p);
    if (preserve)
        cairo_fill_preserve(cr);
    else
        cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void fillSheen(cairo_t* cr, double y0, double y1, double topAlpha, double bottomAlpha)
{
    const Rgb white{1, 1, 1};
    fillLinear(cr, 0, y0, 0, y1, {{0, white, topAlpha}, {1, white, bottomAlpha}});
}

void fillBand(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb c, double alpha)
{
    fillLinear(cr, x0, y0, x1, y1, {{0, c, 0}, {0.5, c, alpha}, {1, c, 0}});
}

void paintBand(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb c, double alpha)
{
    cairo_pattern_t* p = linear(x0, y0, x1, y1, {{0, c, 0}, {0.5, c, alpha}, {1, c, 0}});
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
}

void polygonPath(cairo_t* cr, std::initializer_list<Point> corners)
{
    bool first = true;
    for (const Point& p : corners) {
        if (first)
            cairo_move_to(cr, p.x, p.y);
        else
            cairo_line_to(cr, p.x, p.y);
        first = false;
    }
    cairo_close_path(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    const double r = std::min(radius, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void regularPolygon(cairo_t* cr, double cx, double cy, double radius, int sides, double rotation)
{
    cairo_new_sub_path(cr);
    for (int i = 0; i < sides; i++) {
        const double a = rotation + 2 * kPi * i / sides;
        cairo_line_to(cr, cx + radius * std::cos(a), cy + radius * std::sin(a));
    }
    cairo_close_path(cr);
}

void starPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double rotation)
{
    cairo_new_sub_path(cr);
    for (int i = 0; i < points * 2; i++) {
        const double a = rotation + kPi * i / points;
        const double r = (i % 2 == 0) ? outer : inner;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

double hashNoise(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

static double smooth(double t) { return t * t * (3 - 2 * t); }

double valueNoise(double x, double y, int seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = int(fx);
    const int iy = int(fy);
    const double tx = smooth(x - fx);
    const double ty = smooth(y - fy);
    const double a = hashNoise(ix, iy, seed);
    const double b = hashNoise(ix + 1, iy, seed);
    const double c = hashNoise(ix, iy + 1, seed);
    const double d = hashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double fractalNoise(double x, double y, int seed, int octaves)
{
    double sum = 0;
    double weight = 0;
    double amplitude = 1;
    for (int i = 0; i < octaves; i++) {
        sum += valueNoise(x, y, seed + 101 * i) * amplitude;
        weight += amplitude;
        amplitude *= 0.5;
        x *= 2.03;
        y *= 2.03;
    }
    return sum / weight;
}

void grain(cairo_t* cr, int width, int height, int seed, double strength)
{
    cairo_surface_t* target = cairo_get_target(cr);
    cairo_surface_flush(target);
    unsigned char* data = cairo_image_surface_get_data(target);
    const int stride = cairo_image_surface_get_stride(target);
    for (int y = 0; y < height; y++) {
        uint32_t* p = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width; x++) {
            const uint32_t v = p[x];
            const int a = v >> 24;
            if (a == 0)
                continue;
            const int d = int((hashNoise(x, y, seed) - 0.5) * 2 * strength * a / 255.0);
            int c[3] = {int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255)};
            for (int& ch : c)
                ch = std::clamp(ch + d, 0, a);
            p[x] = uint32_t(a) << 24 | uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | uint32_t(c[2]);
        }
    }
    cairo_surface_mark_dirty(target);
}

void glowSpot(cairo_t* cr, double cx, double cy, double radius, Rgb c, double alpha)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    addStop(p, 0, c, alpha);
    addStop(p, 0.4, c, alpha * 0.45);
    addStop(p, 1, c, 0);
    cairo_save(cr);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(p);
}
