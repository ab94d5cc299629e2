// The title screen: title, four items in two states, footer, score board
// background and credits. All are cut from one backdrop so they join
// without seams at y 251, 294, 336, 378 and 420.
#include "Backgrounds.h"
#include "Paint.h"
#include "Pictures.h"
#include "Tiles.h"

#include <cmath>
#include <string>

namespace {

const Rgb kInk{0.06, 0.02, 0.12};

// Copies rows y .. y + h of the backdrop into a new canvas.
void cut(const Canvas& backdrop, Canvas& band, int y)
{
    band.paste(backdrop, 0, -y);
}

void tileCluster(cairo_t* cr, double x, double y, bool mirror)
{
    // A loose heap of tiles of every theme, as if tumbling off the board.
    struct Placed { double x, y, angle, scale; int theme, colour; };
    const Placed tiles[] = {
        {0, 120, -0.2, 1.5, 1, 0},  {46, 96, 0.15, 1.3, 2, 2},   {14, 60, 0.3, 1.1, 3, 1},
        {70, 140, -0.1, 1.2, 4, 2}, {100, 104, 0.35, 0.95, 1, 1}, {48, 20, -0.35, 0.8, 2, 0},
        {92, 58, 0.1, 0.7, 3, 2},   {126, 150, 0.2, 0.9, 4, 0},
    };
    for (const Placed& t : tiles) {
        cairo_save(cr);
        const double px = mirror ? x - t.x * 0.72 : x + t.x * 0.72;
        cairo_translate(cr, px, y + t.y);
        cairo_rotate(cr, mirror ? -t.angle : t.angle);
        cairo_scale(cr, t.scale, t.scale);
        // Soft shadow under each tile.
        cairo_save(cr);
        cairo_translate(cr, 3, 4);
        roundedRect(cr, -14, -14, 28, 28, 10);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_fill(cr);
        cairo_restore(cr);
        cairo_translate(cr, -16, -16);
        drawTile(cr, t.theme, t.colour, 0.15, false);
        cairo_restore(cr);
    }
}

void title(const Canvas& backdrop, std::vector<Member>& out)
{
    Canvas canvas(640, 251);
    cut(backdrop, canvas, 0);
    cairo_t* cr = canvas.cr();
    tileCluster(cr, 18, 30, false);
    tileCluster(cr, 622, 30, true);

    TextStyle name;
    name.size = 132;
    name.top = Rgb{1, 0.98, 0.78};
    name.bottom = Rgb{1, 0.5, 0.08};
    name.outline = kInk;
    name.outlineWidth = 9;
    name.shadow = 7;
    name.glow = 10;
    name.glowColour = Rgb{1, 0.45, 0.15};
    drawText(cr, "TESSAL", 320, 168, 0.5, name);

    // A thin gloss line across the upper half of the letters.
    cairo_save(cr);
    useFace(cr, Face::TitleBlack, 132);
    const double w = textWidth(cr, "TESSAL");
    cairo_move_to(cr, 320 - w / 2, 168);
    cairo_text_path(cr, "TESSAL");
    cairo_clip(cr);
    cairo_rectangle(cr, 0, 60, 640, 60);
    fillSheen(cr, 80, 120, 0.5, 0);
    cairo_restore(cr);

    TextStyle tag;
    tag.face = Face::TitleBold;
    tag.size = 19;
    tag.top = Rgb{0.85, 0.9, 1};
    tag.bottom = Rgb{0.62, 0.7, 1};
    tag.outline = kInk;
    tag.outlineWidth = 3;
    drawText(cr, "CLEAR  THE  BOARD,  ONE  GROUP  AT  A  TIME", 320, 214, 0.5, tag);

    canvas.flattenOpaque();
    out.push_back(canvas.member("title.bmp"));
}

void item(const Canvas& backdrop, std::vector<Member>& out, const char* text, const char* member,
          int y, int height, int colour, bool lit)
{
    Canvas canvas(640, height);
    cut(backdrop, canvas, y);
    cairo_t* cr = canvas.cr();
    const double mid = height / 2.0;

    if (lit) {
        // A band of light behind the chosen item.
        cairo_rectangle(cr, 120, mid - 17, 400, 34);
        fillBand(cr, 120, 0, 520, 0, Rgb{1, 0.6, 0.2}, 0.32);
        cairo_rectangle(cr, 150, mid - 17, 340, 1);
        cairo_rectangle(cr, 150, mid + 16, 340, 1);
        fillBand(cr, 150, 0, 490, 0, Rgb{1, 0.85, 0.4}, 0.8);
    }

    TextStyle s;
    s.face = Face::TitleBlack;
    s.size = 34;
    s.outline = kInk;
    s.outlineWidth = 4;
    s.shadow = 3;
    if (lit) {
        s.top = Rgb{1, 1, 0.85};
        s.bottom = Rgb{1, 0.68, 0.12};
        s.glow = 5;
    } else {
        s.top = Rgb{0.86, 0.84, 0.98};
        s.bottom = Rgb{0.55, 0.52, 0.8};
    }
    drawText(cr, text, 320, mid + 12, 0.5, s);

    if (lit) {
        useFace(cr, s.face, s.size);
        const double half = textWidth(cr, text) / 2 + 34;
        for (int side = -1; side <= 1; side += 2) {
            cairo_save(cr);
            cairo_translate(cr, 320 + side * half - 16, mid - 16);
            drawTile(cr, 1, colour, 0.1, true);
            cairo_restore(cr);
        }
    }
    canvas.flattenOpaque();
    out.push_back(canvas.member(member));
}

void footer(const Canvas& backdrop, std::vector<Member>& out)
{
    Canvas canvas(640, 60);
    cut(backdrop, canvas, 420);
    cairo_t* cr = canvas.cr();
    cairo_rectangle(cr, 80, 14, 480, 1);
    fillBand(cr, 80, 0, 560, 0, Rgb{0.7, 0.6, 1}, 0.55);

    TextStyle s;
    s.face = Face::Body;
    s.size = 11;
    s.top = Rgb{0.78, 0.76, 0.9};
    s.bottom = Rgb{0.68, 0.66, 0.82};
    s.outline = kInk;
    s.outlineWidth = 2;
    drawText(cr, "\xC2\xA9 The Tessal team  \xC2\xB7  free software", 320, 33, 0.5, s);
    drawText(cr, "F9 full screen / window  \xC2\xB7  F12 quit  \xC2\xB7  Esc back", 320, 50, 0.5, s);
    canvas.flattenOpaque();
    out.push_back(canvas.member("copyright.bmp"));
}

// A dark glass board on the backdrop, shared by the score board and credits.
void boardFrame(cairo_t* cr, double x, double y, double w, double h)
{
    roundedRect(cr, x, y, w, h, 14);
    cairo_set_source_rgba(cr, 0.02, 0.01, 0.06, 0.72);
    cairo_fill_preserve(cr);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(rim, 0, 1, 0.85, 0.5, 0.75);
    cairo_pattern_add_color_stop_rgba(rim, 1, 0.6, 0.4, 0.9, 0.5);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
}

void scoreBoard(const Canvas& backdrop, std::vector<Member>& out)
{
    // Drawn at (0, 251): headers at screen y 270 (here 19), nine rows of
    // 16 px from screen y 302 (here 51), "reset f1" at (0, 465) (here 214).
    Canvas canvas(640, 229);
    cut(backdrop, canvas, 251);
    cairo_t* cr = canvas.cr();
    boardFrame(cr, 22, 8, 596, 196);

    roundedRect(cr, 28, 14, 584, 26, 8);
    fillLinear(cr, 0, 14, 0, 40, {{0, Rgb{0.55, 0.35, 0.95}, 0.45}, {1, Rgb{0.3, 0.15, 0.6}, 0.25}});

    for (int i = 0; i < 9; i++) {
        if (i % 2 == 0) {
            cairo_rectangle(cr, 30, 51 + 16 * i - 1, 580, 16);
            cairo_set_source_rgba(cr, 0.6, 0.5, 1, 0.08);
            cairo_fill(cr);
        }
    }
    // Medals for the first three places, left of the rank numbers.
    const Rgb medals[3] = {{1, 0.8, 0.2}, {0.82, 0.85, 0.92}, {0.85, 0.5, 0.25}};
    for (int i = 0; i < 3; i++) {
        const double cy = 51 + 16 * i + 7;
        cairo_arc(cr, 40, cy, 5.5, 0, 2 * kPi);
        cairo_pattern_t* m = cairo_pattern_create_radial(38.5, cy - 1.5, 0.5, 40, cy, 6);
        addStop(m, 0, lighten(medals[i], 0.6));
        addStop(m, 1, darken(medals[i], 0.3));
        cairo_set_source(cr, m);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(m);
        setColour(cr, kInk);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }

    roundedRect(cr, -10, 210, 118, 20, 8);
    cairo_set_source_rgba(cr, 0.02, 0.01, 0.06, 0.7);
    cairo_fill(cr);
    TextStyle hint;
    hint.face = Face::Body;
    hint.size = 10;
    hint.top = Rgb{0.7, 0.68, 0.85};
    hint.bottom = hint.top;
    hint.outline = kInk;
    hint.outlineWidth = 2;
    drawText(cr, "clears the table", 112, 225, 0, hint);

    canvas.flattenOpaque();
    out.push_back(canvas.member("bottom.bmp"));
}

void credits(const Canvas& backdrop, std::vector<Member>& out)
{
    Canvas canvas(640, 229);
    cut(backdrop, canvas, 251);
    cairo_t* cr = canvas.cr();
    boardFrame(cr, 22, 6, 596, 214);

    TextStyle head;
    head.face = Face::TitleBold;
    head.size = 20;
    head.top = Rgb{1, 0.97, 0.8};
    head.bottom = Rgb{1, 0.66, 0.15};
    head.outline = kInk;
    head.outlineWidth = 3;
    TextStyle body;
    body.face = Face::Body;
    body.size = 11.5;
    body.top = Rgb{0.92, 0.9, 1};
    body.bottom = Rgb{0.82, 0.8, 0.95};
    body.outline = kInk;
    body.outlineWidth = 2;
    TextStyle strong = body;
    strong.face = Face::BodyBold;
    strong.top = Rgb{1, 0.9, 0.6};
    strong.bottom = Rgb{1, 0.8, 0.45};

    drawText(cr, "TESSAL 1.0", 320, 32, 0.5, head);
    drawText(cr, "Programming, pictures, music and sound by the Tessal team, all made in code.", 320, 52, 0.5, body);

    const struct { const char* what; const char* licence; } lines[] = {
        {"SDL 1.2 (sdl12-compat)", "zlib licence; SDL 1.2 itself: GNU LGPL 2.1"},
        {"libmikmod", "GNU LGPL 2 or later"},
        {"zlib and minizip", "zlib licence"},
        {"League Spartan (titles)", "SIL Open Font License 1.1"},
        {"DejaVu Sans (small text)", "Bitstream Vera and DejaVu font licence"},
        {"Drawn with cairo, sounds with libsndfile", "at build time only"},
    };
    double y = 80;
    for (const auto& l : lines) {
        drawText(cr, l.what, 300, y, 1, strong);
        drawText(cr, l.licence, 316, y, 0, body);
        y += 19;
    }
    drawText(cr, "Thank you for playing!  Click or press Esc to go back.", 320, y + 12, 0.5, body);
    canvas.flattenOpaque();
    out.push_back(canvas.member("credits.bmp"));
}

}  // namespace

void addMenuPictures(std::vector<Member>& out)
{
    Canvas backdrop(640, 480);
    drawMenuBackdrop(backdrop);
    title(backdrop, out);
    const struct { const char* text; const char* member; int y, h, colour; } items[] = {
        {"PLAY", "play.bmp", 251, 43, 0},
        {"SCORES", "scores.bmp", 294, 42, 1},
        {"ABOUT", "about.bmp", 336, 42, 2},
        {"EXIT", "exit.bmp", 378, 42, 0},
    };
    for (const auto& i : items) {
        item(backdrop, out, i.text, i.member, i.y, i.h, i.colour, false);
        item(backdrop, out, i.text, (std::string("s") + i.member).c_str(), i.y, i.h, i.colour, true);
    }
    footer(backdrop, out);
    scoreBoard(backdrop, out);
    credits(backdrop, out);
}
