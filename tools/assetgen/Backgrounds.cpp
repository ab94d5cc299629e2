#include "Backgrounds.h"

#include "Pictures.h"

#include <cmath>
#include <string>

namespace {

double vignette(double x, double y, double w, double h, double strength)
{
    const double dx = (x - w / 2) / (w / 2);
    const double dy = (y - h / 2) / (h / 2);
    return 1 - strength * std::min(1.0, (dx * dx + dy * dy) * 0.5);
}

// Theme 1, glass orbs: deep space with blue and violet nebulae.
void nebula(Canvas& canvas)
{
    fillPixels(canvas, [](int x, int y) {
        const double n = fractalNoise(x / 90.0, y / 90.0, 11, 5);
        const double m = fractalNoise(x / 60.0 + 7, y / 60.0, 23, 4);
        Rgb c = mix(rgb255(6, 8, 26), rgb255(14, 20, 64), y / 480.0);
        const double cloud = std::max(0.0, n - 0.42) * 2.2;
        const double wisp = std::max(0.0, m - 0.5) * 2.0;
        c = mix(c, rgb255(70, 40, 130), cloud * 0.55);
        c = mix(c, rgb255(30, 90, 150), wisp * 0.45);
        return darken(c, 1 - vignette(x, y, 480, 480, 0.6));
    });
    starField(canvas.cr(), 480, 480, 260, 5, 0.9);
    glowSpot(canvas.cr(), 380, 90, 160, rgb255(120, 80, 220), 0.12);
    glowSpot(canvas.cr(), 90, 400, 180, rgb255(40, 140, 200), 0.1);
}

// Theme 2, cut gems: crimson velvet under a faint argyle lattice.
void velvet(Canvas& canvas)
{
    fillPixels(canvas, [](int x, int y) {
        const double n = fractalNoise(x / 40.0, y / 40.0, 31, 4);
        const double fibre = hashNoise(x, y, 32) * 0.05;
        Rgb c = mix(rgb255(26, 6, 22), rgb255(60, 12, 44), n);
        c = lighten(c, fibre);
        return darken(c, 1 - vignette(x, y, 480, 480, 0.7));
    });
    cairo_t* cr = canvas.cr();
    // Diamond lattice on the 32 px board grid, gold threads at low alpha.
    cairo_set_line_width(cr, 1);
    for (int i = -15; i <= 30; i++) {
        cairo_move_to(cr, i * 32, 0);
        cairo_line_to(cr, i * 32 + 480, 480);
        cairo_move_to(cr, i * 32, 480);
        cairo_line_to(cr, i * 32 + 480, 0);
    }
    cairo_set_source_rgba(cr, 1.0, 0.75, 0.35, 0.09);
    cairo_stroke(cr);
    for (int y = 0; y <= 15; y++) {
        for (int x = 0; x <= 15; x++) {
            const double cx = x * 32 + ((y % 2) ? 16 : 0);
            const double cy = y * 32 + 16;
            regularPolygon(cr, cx, cy, 2.2, 4, 0);
        }
    }
    cairo_set_source_rgba(cr, 1.0, 0.8, 0.5, 0.18);
    cairo_fill(cr);
    glowSpot(cr, 240, 200, 300, rgb255(160, 30, 90), 0.12);
}

// Theme 3, candy: dark chocolate scattered with sprinkles.
void chocolate(Canvas& canvas)
{
    fillPixels(canvas, [](int x, int y) {
        const double n = fractalNoise(x / 120.0, y / 120.0, 41, 3);
        // Soft diagonal ripples like poured chocolate.
        const double ripple = 0.5 + 0.5 * std::sin((x + y) / 28.0 + n * 6);
        Rgb c = mix(rgb255(30, 16, 12), rgb255(58, 32, 22), ripple * 0.6 + n * 0.4);
        return darken(c, 1 - vignette(x, y, 480, 480, 0.55));
    });
    cairo_t* cr = canvas.cr();
    const Rgb sprinkles[] = {rgb255(255, 120, 150), rgb255(150, 230, 110), rgb255(120, 170, 255),
                             rgb255(255, 230, 140), rgb255(255, 255, 255)};
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 3);
    for (int i = 0; i < 220; i++) {
        const double x = hashNoise(i, 1, 43) * 480;
        const double y = hashNoise(i, 2, 43) * 480;
        const double a = hashNoise(i, 3, 43) * kPi;
        const Rgb c = sprinkles[int(hashNoise(i, 4, 43) * 5) % 5];
        cairo_move_to(cr, x - 3.5 * std::cos(a), y - 3.5 * std::sin(a));
        cairo_line_to(cr, x + 3.5 * std::cos(a), y + 3.5 * std::sin(a));
        setColour(cr, c, 0.22);
        cairo_stroke(cr);
    }
    glowSpot(cr, 240, 120, 320, rgb255(255, 160, 120), 0.07);
}

// Theme 4, metal studs: brushed dark steel plates with seams and rivets.
void steel(Canvas& canvas)
{
    fillPixels(canvas, [](int x, int y) {
        const double streak = valueNoise(x / 200.0, y * 1.3, 51) * 0.6 + valueNoise(x / 30.0, y * 0.9, 52) * 0.4;
        const double n = fractalNoise(x / 140.0, y / 140.0, 53, 3);
        Rgb c = mix(rgb255(22, 27, 34), rgb255(44, 52, 62), streak * 0.55 + n * 0.45);
        return darken(c, 1 - vignette(x, y, 480, 480, 0.6));
    });
    cairo_t* cr = canvas.cr();
    // Plates of 4 x 4 cells: a dark seam with a lit lower edge.
    for (int i = 0; i <= 480; i += 160) {
        cairo_rectangle(cr, i - 1, 0, 2, 480);
        cairo_rectangle(cr, 0, i - 1, 480, 2);
    }
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_fill(cr);
    for (int i = 0; i <= 480; i += 160) {
        cairo_rectangle(cr, i + 1, 0, 1, 480);
        cairo_rectangle(cr, 0, i + 1, 480, 1);
    }
    cairo_set_source_rgba(cr, 1, 1, 1, 0.07);
    cairo_fill(cr);
    for (int py = 0; py < 480; py += 160) {
        for (int px = 0; px < 480; px += 160) {
            const double spots[4][2] = {{10, 10}, {150, 10}, {10, 150}, {150, 150}};
            for (const auto& s : spots) {
                const double x = px + s[0], y = py + s[1];
                cairo_arc(cr, x + 0.8, y + 1, 3.6, 0, 2 * kPi);
                cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
                cairo_fill(cr);
                cairo_pattern_t* rivet = cairo_pattern_create_radial(x - 1, y - 1, 0.3, x, y, 3.5);
                addStop(rivet, 0, rgb255(150, 160, 172));
                addStop(rivet, 1, rgb255(40, 46, 54));
                cairo_arc(cr, x, y, 3.2, 0, 2 * kPi);
                cairo_set_source(cr, rivet);
                cairo_fill(cr);
                cairo_pattern_destroy(rivet);
            }
        }
    }
    glowSpot(cr, 120, 80, 260, rgb255(120, 170, 220), 0.08);
}

}  // namespace

void starField(cairo_t* cr, int width, int height, int count, int seed, double brightness)
{
    for (int i = 0; i < count; i++) {
        const double x = hashNoise(i, 0, seed) * width;
        const double y = hashNoise(i, 1, seed) * height;
        const double b = hashNoise(i, 2, seed);
        const double tint = hashNoise(i, 3, seed);
        const Rgb c = tint < 0.3 ? rgb255(200, 215, 255) : tint < 0.6 ? rgb255(255, 240, 210) : rgb255(255, 255, 255);
        const double alpha = (0.25 + 0.75 * b * b) * brightness;
        if (b > 0.93) {
            glowSpot(cr, x, y, 6, c, alpha * 0.5);
            cairo_arc(cr, x, y, 1.2, 0, 2 * kPi);
        } else {
            cairo_arc(cr, x, y, 0.45 + 0.45 * b, 0, 2 * kPi);
        }
        setColour(cr, c, alpha);
        cairo_fill(cr);
    }
}

void drawBoardBackground(Canvas& canvas, int theme)
{
    switch (theme) {
    case 1: nebula(canvas); break;
    case 2: velvet(canvas); break;
    case 3: chocolate(canvas); break;
    default: steel(canvas); break;
    }
    grain(canvas.cr(), canvas.width(), canvas.height(), 60 + theme, 2.5);
    canvas.flattenOpaque();
}

void drawMenuBackdrop(Canvas& canvas)
{
    const int w = canvas.width(), h = canvas.height();
    fillPixels(canvas, [w, h](int x, int y) {
        const double n = fractalNoise(x / 110.0, y / 110.0, 71, 5);
        const double m = fractalNoise(x / 70.0, y / 70.0 + 3, 72, 4);
        Rgb c = mix(rgb255(10, 6, 30), rgb255(22, 10, 48), y / double(h));
        c = mix(c, rgb255(80, 30, 120), std::max(0.0, n - 0.45) * 1.6);
        c = mix(c, rgb255(20, 80, 140), std::max(0.0, m - 0.52) * 1.2);
        return darken(c, 1 - vignette(x, y, w, h, 0.55));
    });
    starField(canvas.cr(), w, h, 320, 73, 0.85);
    glowSpot(canvas.cr(), w / 2.0, 120, 340, rgb255(150, 80, 255), 0.14);
    grain(canvas.cr(), w, h, 74, 2.5);
    canvas.flattenOpaque();
}

void addBackgrounds(std::vector<Member>& out)
{
    for (int theme = 1; theme <= 4; theme++) {
        Canvas canvas(480, 480);
        drawBoardBackground(canvas, theme);
        out.push_back(canvas.member("theme" + std::to_string(theme) + "/back.bmp"));
    }
}
