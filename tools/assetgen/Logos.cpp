// The window icon and the three start-up screens.
#include "Backgrounds.h"
#include "Paint.h"
#include "Pictures.h"
#include "Tiles.h"

#include <cmath>

namespace {

const Rgb kInk{0.06, 0.02, 0.12};

// Our studio's mark: four tiles in a rounded T.
void studioLogo(std::vector<Member>& out)
{
    Canvas canvas(640, 480);
    cairo_t* cr = canvas.cr();
    fillPixels(canvas, [](int x, int y) {
        const double dx = (x - 320) / 320.0, dy = (y - 210) / 320.0;
        const double d = std::sqrt(dx * dx + dy * dy);
        return mix(rgb255(34, 24, 64), rgb255(4, 3, 10), std::min(1.0, d * 1.3));
    });
    const int colours[4] = {0, 1, 2, 1};
    const double pos[4][2] = {{-1.5, 0}, {-0.5, 0}, {0.5, 0}, {-0.5, 1}};
    for (int i = 0; i < 4; i++) {
        cairo_save(cr);
        cairo_translate(cr, 320 + pos[i][0] * 68, 120 + pos[i][1] * 68);
        cairo_scale(cr, 2, 2);
        drawTile(cr, 1 + i % 4, colours[i], 0.1, false);
        cairo_restore(cr);
    }
    TextStyle name;
    name.size = 54;
    name.top = Rgb{0.96, 0.95, 1};
    name.bottom = Rgb{0.7, 0.68, 0.9};
    name.outline = kInk;
    name.outlineWidth = 4;
    name.shadow = 4;
    drawText(cr, "TESSAL TEAM", 320, 340, 0.5, name);
    TextStyle sub;
    sub.face = Face::TitleBold;
    sub.size = 20;
    sub.top = Rgb{1, 0.8, 0.35};
    sub.bottom = Rgb{1, 0.65, 0.2};
    sub.outline = kInk;
    sub.outlineWidth = 2.5;
    drawText(cr, "P R E S E N T S", 320, 384, 0.5, sub);
    grain(cr, 640, 480, 91, 2.5);
    canvas.flattenOpaque();
    out.push_back(canvas.member("logo.bmp"));
}

void nameLogo(std::vector<Member>& out)
{
    Canvas canvas(640, 480);
    drawMenuBackdrop(canvas);
    cairo_t* cr = canvas.cr();
    // A ring of tiles of all four themes around the name.
    for (int i = 0; i < 24; i++) {
        const double a = 2 * kPi * i / 24;
        cairo_save(cr);
        cairo_translate(cr, 320 + 250 * std::cos(a), 240 + 180 * std::sin(a));
        cairo_rotate(cr, a * 0.5);
        cairo_translate(cr, -16, -16);
        drawTile(cr, 1 + i % 4, i % 3, i / 24.0, false);
        cairo_restore(cr);
    }
    TextStyle name;
    name.size = 120;
    name.top = Rgb{1, 0.98, 0.78};
    name.bottom = Rgb{1, 0.5, 0.08};
    name.outline = kInk;
    name.outlineWidth = 8;
    name.shadow = 6;
    name.glow = 10;
    name.glowColour = Rgb{1, 0.45, 0.15};
    drawText(cr, "TESSAL", 320, 280, 0.5, name);
    canvas.flattenOpaque();
    out.push_back(canvas.member("logo1.bmp"));
}

void madeWith(std::vector<Member>& out)
{
    Canvas canvas(640, 480);
    cairo_t* cr = canvas.cr();
    fillPixels(canvas, [](int x, int y) {
        const double n = fractalNoise(x / 140.0, y / 140.0, 95, 4);
        return mix(rgb255(8, 12, 24), rgb255(24, 30, 56), n * 0.8 + 0.2 * (1 - y / 480.0));
    });
    TextStyle head;
    head.face = Face::TitleBold;
    head.size = 30;
    head.top = Rgb{0.9, 0.92, 1};
    head.bottom = Rgb{0.65, 0.7, 0.95};
    head.outline = kInk;
    head.outlineWidth = 3;
    drawText(cr, "MADE WITH", 320, 120, 0.5, head);

    const struct { const char* name; const char* what; Rgb tint; } libs[] = {
        {"SDL", "graphics, input, sound", Rgb{0.2, 0.45, 0.9}},
        {"libmikmod", "tracker music", Rgb{0.85, 0.3, 0.35}},
        {"zlib", "compression", Rgb{0.3, 0.7, 0.4}},
        {"minizip", "the data archive", Rgb{0.85, 0.6, 0.2}},
    };
    for (int i = 0; i < 4; i++) {
        const double x = 40 + (i % 2) * 290, y = 160 + (i / 2) * 120;
        roundedRect(cr, x, y, 270, 96, 16);
        fillLinear(cr, 0, y, 0, y + 96, {
            {0, lighten(libs[i].tint, 0.1), 0.9},
            {1, darken(libs[i].tint, 0.6), 0.9}}, true);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        TextStyle n;
        n.size = 36;
        n.outline = kInk;
        n.outlineWidth = 4;
        n.shadow = 2;
        drawText(cr, libs[i].name, x + 135, y + 50, 0.5, n);
        TextStyle w;
        w.face = Face::Body;
        w.size = 13;
        w.top = Rgb{0.95, 0.95, 1};
        w.bottom = w.top;
        w.outline = kInk;
        w.outlineWidth = 2;
        drawText(cr, libs[i].what, x + 135, y + 78, 0.5, w);
    }
    TextStyle foot;
    foot.face = Face::Body;
    foot.size = 12;
    foot.top = Rgb{0.7, 0.72, 0.85};
    foot.bottom = foot.top;
    foot.outlineWidth = 0;
    drawText(cr, "Free software, with thanks to their authors.", 320, 440, 0.5, foot);
    grain(cr, 640, 480, 96, 2.5);
    canvas.flattenOpaque();
    out.push_back(canvas.member("logo2.bmp"));
}

}  // namespace

void drawIcon(cairo_t* cr, double size)
{
    const double scale = size / 32.0;
    cairo_save(cr);
    cairo_scale(cr, scale, scale);
    roundedRect(cr, 0, 0, 32, 32, 5);
    fillLinear(cr, 0, 0, 0, 32, {{0, rgb255(44, 26, 90)}, {1, rgb255(12, 8, 30)}});
    const double pos[3][2] = {{1, 1}, {15, 1}, {8, 15}};
    for (int i = 0; i < 3; i++) {
        cairo_save(cr);
        cairo_translate(cr, pos[i][0], pos[i][1]);
        cairo_scale(cr, 0.5, 0.5);
        drawTile(cr, 1, i, 0.1, false);
        cairo_restore(cr);
    }
    cairo_restore(cr);
}

void addLogos(std::vector<Member>& out)
{
    Canvas icon(32, 32);
    drawIcon(icon);
    icon.flattenOpaque();
    out.push_back(icon.member("icon.bmp"));
    studioLogo(out);
    nameLogo(out);
    madeWith(out);
}
