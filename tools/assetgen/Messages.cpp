// End-of-board messages, the bonus banners and the mouse pointer. All are
// keyed: black shows the board through.
#include "Paint.h"
#include "Pictures.h"
#include "Tiles.h"

#include <string>

namespace {

const Rgb kOutline{0.08, 0.04, 0.1};

struct MessageLook {
    const char* member;
    const char* title;
    const char* subtitle;
    Rgb top, bottom;      // title gradient
    Rgb panelTint;        // panel colour
};

void messagePanel(cairo_t* cr, Rgb tint)
{
    // Framed glass card: deep tinted body, gold rim, soft top sheen.
    roundedRect(cr, 3, 3, 374, 122, 20);
    setColour(cr, kOutline);
    cairo_fill(cr);
    roundedRect(cr, 5, 5, 370, 118, 18);
    fillLinear(cr, 0, 5, 0, 123, {
        {0, Rgb{1.0, 0.92, 0.6}},
        {0.5, Rgb{0.85, 0.6, 0.18}},
        {1, Rgb{0.45, 0.28, 0.06}}});

    roundedRect(cr, 9, 9, 362, 110, 14);
    fillLinear(cr, 0, 9, 0, 119, {{0, lighten(tint, 0.12)}, {1, darken(tint, 0.55)}});

    cairo_save(cr);
    roundedRect(cr, 9, 9, 362, 110, 14);
    cairo_clip(cr);
    glowSpot(cr, 190, 20, 170, lighten(tint, 0.5), 0.35);
    roundedRect(cr, 14, 12, 352, 34, 12);
    fillSheen(cr, 12, 46, 0.22, 0.0);
    cairo_restore(cr);
}

void message(std::vector<Member>& out, const MessageLook& look, bool nameField)
{
    Canvas canvas(380, 128);
    cairo_t* cr = canvas.cr();
    messagePanel(cr, look.panelTint);

    TextStyle title;
    title.size = nameField ? 34 : 44;
    title.top = look.top;
    title.bottom = look.bottom;
    title.outline = kOutline;
    title.outlineWidth = 4;
    title.shadow = 3;
    // Long titles are narrowed to keep clear of the rim.
    useFace(cr, title.face, title.size);
    const double width = textWidth(cr, look.title);
    cairo_save(cr);
    cairo_translate(cr, 190, nameField ? 48 : 68);
    if (width > 320)
        cairo_scale(cr, 320 / width, 1);
    drawText(cr, look.title, 0, 0, 0.5, title);
    cairo_restore(cr);

    TextStyle sub;
    sub.face = Face::BodyBold;
    sub.size = 13;
    sub.top = Rgb{0.95, 0.93, 1.0};
    sub.bottom = Rgb{0.8, 0.8, 0.92};
    sub.outline = kOutline;
    sub.outlineWidth = 2.5;
    drawText(cr, look.subtitle, 190, nameField ? 76 : 98, 0.5, sub);

    if (nameField) {
        // The game types the name at (21, 101) of this picture, 16 px high
        // and up to 330 px wide, in the yellow font.
        roundedRect(cr, 17, 97, 342, 24, 6);
        setColour(cr, Rgb{0.95, 0.8, 0.35});
        cairo_fill(cr);
        roundedRect(cr, 18.5, 98.5, 339, 21, 5);
        fillLinear(cr, 0, 98, 0, 120, {{0, Rgb{0.03, 0.03, 0.08}}, {1, Rgb{0.09, 0.09, 0.2}}});
    }
    canvas.flattenForKey(kOutline.r, kOutline.g, kOutline.b);
    out.push_back(canvas.member(look.member));
}

struct BannerLook {
    const char* member;
    const char* text;
    Rgb ribbon;
    int mark;   // tile colour whose mark decorates the ends, -1 for stars
};

void banner(std::vector<Member>& out, const BannerLook& look)
{
    Canvas canvas(256, 64);
    cairo_t* cr = canvas.cr();

    // A glossy ribbon with a gold rim and swallow-tail ends.
    polygonPath(cr, {{2, 14}, {30, 14}, {30, 52}, {2, 52}, {12, 33}});
    polygonPath(cr, {{254, 14}, {226, 14}, {226, 52}, {254, 52}, {244, 33}});
    setColour(cr, darken(look.ribbon, 0.45));
    cairo_fill_preserve(cr);
    setColour(cr, kOutline);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);

    roundedRect(cr, 20, 6, 216, 48, 14);
    setColour(cr, kOutline);
    cairo_set_line_width(cr, 4);
    cairo_stroke_preserve(cr);
    fillLinear(cr, 0, 6, 0, 54, {{0, Rgb{1.0, 0.95, 0.65}}, {1, Rgb{0.6, 0.38, 0.08}}});
    roundedRect(cr, 23, 9, 210, 42, 11);
    fillLinear(cr, 0, 9, 0, 51, {
        {0, lighten(look.ribbon, 0.25)},
        {0.5, look.ribbon},
        {1, darken(look.ribbon, 0.5)}});
    roundedRect(cr, 27, 11, 202, 16, 8);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
    cairo_fill(cr);

    for (int side = 0; side < 2; side++) {
        const double x = side ? 216 : 40;
        if (look.mark >= 0)
            markPath(cr, look.mark, x, 30, 7);
        else
            starPath(cr, x, 30.5, 9, 4, 5, -kPi / 2);
        setColour(cr, kOutline);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke_preserve(cr);
        setColour(cr, look.mark >= 0 ? Rgb{1, 0.97, 0.85} : Rgb{1, 0.9, 0.35});
        cairo_fill(cr);
    }

    TextStyle style;
    style.size = 30;
    style.top = Rgb{1, 1, 0.95};
    style.bottom = Rgb{1, 0.86, 0.4};
    style.outline = kOutline;
    style.outlineWidth = 4;
    useFace(cr, style.face, style.size);
    const double width = textWidth(cr, look.text);
    const double room = 150;
    cairo_save(cr);
    cairo_translate(cr, 128, 41);
    if (width > room)
        cairo_scale(cr, room / width, 1);
    drawText(cr, look.text, 0, 0, 0.5, style);
    cairo_restore(cr);

    canvas.flattenForKey(kOutline.r, kOutline.g, kOutline.b);
    out.push_back(canvas.member(look.member));
}

}  // namespace

void addMessages(std::vector<Member>& out)
{
    const MessageLook messages[] = {
        {"gameover.bmp", "GAME OVER", "No lives left. Thanks for playing!",
         Rgb{1, 0.75, 0.7}, Rgb{0.95, 0.2, 0.2}, Rgb{0.32, 0.05, 0.12}},
        {"hiscore.bmp", "NEW HIGH SCORE!", "Type your name and press Return",
         Rgb{1, 1, 0.85}, Rgb{1, 0.7, 0.1}, Rgb{0.12, 0.1, 0.35}},
        {"loselevel.bmp", "NO MOVES LEFT", "The board is stuck. One life is lost.",
         Rgb{0.85, 0.9, 1}, Rgb{0.45, 0.6, 1}, Rgb{0.08, 0.12, 0.32}},
        {"wonlevel.bmp", "BOARD CLEARED!", "10000 bonus points. On to the next level!",
         Rgb{0.9, 1, 0.85}, Rgb{0.35, 0.95, 0.45}, Rgb{0.05, 0.25, 0.15}},
        {"wongame.bmp", "YOU WIN!", "Every board cleared. Magnificent!",
         Rgb{1, 1, 0.85}, Rgb{1, 0.75, 0.15}, Rgb{0.3, 0.18, 0.04}},
    };
    for (const MessageLook& m : messages)
        message(out, m, std::string(m.member) == "hiscore.bmp");

    const BannerLook banners[] = {
        {"perfect.bmp", "PERFECT!", Rgb{0.85, 0.45, 0.05}, -1},
        {"bonuslife.bmp", "EXTRA LIFE", Rgb{0.75, 0.12, 0.45}, -1},
        {"bonus2x.bmp", "DOUBLE!", darken(tileColour(1, 0), 0.1), 0},
        {"bonusAddLine.bmp", "+8 ROWS", darken(tileColour(1, 1), 0.25), 1},
        {"bonus1000.bmp", "+1000", darken(tileColour(1, 2), 0.1), 2},
        {"bonus500.bmp", "+500", darken(tileColour(1, 2), 0.1), 2},
        {"5000.bmp", "+5000", Rgb{0.85, 0.45, 0.05}, -1},
    };
    for (const BannerLook& b : banners)
        banner(out, b);
}

void addPointer(std::vector<Member>& out)
{
    // Hot spot at the top left pixel, which the arrow's tip covers.
    Canvas canvas(32, 32);
    cairo_t* cr = canvas.cr();
    polygonPath(cr, {{0.8, 0.8}, {0.8, 23}, {6.5, 18}, {10.5, 27}, {15, 25}, {11, 16.3}, {18.5, 16.3}});
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColour(cr, kOutline);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke_preserve(cr);
    fillLinear(cr, 0, 0, 12, 26, {{0, Rgb{1, 1, 1}}, {1, Rgb{1, 0.8, 0.3}}});
    cairo_rectangle(cr, 0, 0, 1.5, 1.5);
    setColour(cr, kOutline);
    cairo_fill(cr);
    canvas.flattenForKey(kOutline.r, kOutline.g, kOutline.b);
    out.push_back(canvas.member("mouse.bmp"));
}
