// right.bmp, the side panel at x 480: labelled wells exactly behind the
// counters the game draws.
#include "Backgrounds.h"
#include "Paint.h"
#include "Pictures.h"
#include "Tiles.h"

#include <cmath>

namespace {

const Rgb kLabelTop{0.92, 0.9, 1.0};
const Rgb kLabelBottom{0.7, 0.66, 0.95};
const Rgb kInk{0.05, 0.03, 0.1};

// A recessed display: dark glass with an inner shadow and a lit lower lip.
// Coordinates are the panel's own (screen x minus 480).
void well(cairo_t* cr, double x, double y, double w, double h)
{
    roundedRect(cr, x - 1, y - 1, w + 2, h + 2.5, 7);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
    cairo_fill(cr);
    roundedRect(cr, x, y, w, h, 6);
    fillLinear(cr, 0, y, 0, y + h, {{0, rgb255(3, 2, 10)}, {1, rgb255(18, 14, 40)}});
    roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 5.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void label(cairo_t* cr, const char* text, double x, double baseline, double anchor, double size = 15)
{
    TextStyle s;
    s.face = Face::TitleBold;
    s.size = size;
    s.top = kLabelTop;
    s.bottom = kLabelBottom;
    s.outline = kInk;
    s.outlineWidth = 2.5;
    drawText(cr, text, x, baseline, anchor, s);
}

void smallCaption(cairo_t* cr, const char* text, double x, double baseline)
{
    TextStyle s;
    s.face = Face::BodyBold;
    s.size = 8;
    s.top = Rgb{0.8, 0.78, 0.92};
    s.bottom = Rgb{0.7, 0.68, 0.85};
    s.outlineWidth = 0;
    drawText(cr, text, x, baseline, 0.5, s);
}

}  // namespace

void addPanel(std::vector<Member>& out)
{
    Canvas canvas(160, 480);
    cairo_t* cr = canvas.cr();

    fillPixels(canvas, [](int x, int y) {
        const double n = fractalNoise(x / 50.0, y / 50.0, 81, 4);
        Rgb c = mix(rgb255(24, 16, 52), rgb255(12, 8, 28), y / 480.0);
        return mix(c, rgb255(44, 26, 80), n * 0.35);
    });
    starField(cr, 160, 480, 40, 82, 0.5);

    // Bevelled edge against the board.
    cairo_rectangle(cr, 0, 0, 8, 480);
    fillLinear(cr, 0, 0, 8, 0, {
        {0, rgb255(6, 4, 14)},
        {0.35, rgb255(120, 100, 170)},
        {1, rgb255(30, 22, 60), 0}});

    // Name plate.
    TextStyle title;
    title.size = 34;
    title.top = Rgb{1, 0.97, 0.8};
    title.bottom = Rgb{1, 0.62, 0.12};
    title.outline = kInk;
    title.outlineWidth = 3.5;
    title.glow = 4;
    title.glowColour = Rgb{1, 0.55, 0.2};
    drawText(cr, "TESSAL", 84, 46, 0.5, title);
    for (int i = 0; i < 3; i++) {
        cairo_save(cr);
        cairo_translate(cr, 54 + 20 * i, 56);
        cairo_scale(cr, 0.56, 0.56);
        drawTile(cr, 1, i, 0.1, false);
        cairo_restore(cr);
    }

    // Lives: two big digits at screen (544, 122).
    label(cr, "LIVES", 84, 112, 0.5);
    well(cr, 58, 117, 52, 38);
    // Level: two big digits at (544, 195).
    label(cr, "LEVEL", 84, 185, 0.5);
    well(cr, 58, 190, 52, 38);
    // Score: six big digits at (500, 277), framed inside the panel with the
    // same margin on both sides and its right edge under the board points'
    // (a seventh digit, past 999999, runs on to x 640); the board's points
    // in small digits at (586, 264).
    label(cr, "SCORE", 84, 248, 0.5);
    label(cr, "BOARD", 62, 272, 0.5, 11);
    well(cr, 103, 259.5, 46, 15);
    well(cr, 11, 273, 138, 36);
    // Idle seconds at (550, 337).
    label(cr, "TIME", 84, 328, 0.5);
    well(cr, 64, 333, 52, 38);

    // Bonus legend.
    label(cr, "BONUS", 84, 404, 0.5, 12);
    const char* captions[3] = {"DOUBLE", "+8 ROWS", "POINTS"};
    for (int i = 0; i < 3; i++) {
        const double x = 20 + 44 * i;
        cairo_save(cr);
        cairo_translate(cr, x, 412);
        drawBonusTile(cr, i, 0.0, false);
        cairo_restore(cr);
        smallCaption(cr, captions[i], x + 16, 458);
    }

    grain(cr, 160, 480, 83, 2.5);
    canvas.flattenOpaque();
    out.push_back(canvas.member("right.bmp"));
}
