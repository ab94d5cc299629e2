#include "Tiles.h"

#include <cmath>
#include <string>

namespace {

const int kFrames = 20;

// Per theme, the three colours keep clearly different lightness as well as
// hue (green lightest, blue darkest), which helps colour-blind players.
const Rgb kPalette[4][3] = {
    {{0.95, 0.22, 0.26}, {0.30, 0.84, 0.38}, {0.14, 0.32, 0.92}},  // glass orbs
    {{0.95, 0.14, 0.34}, {0.10, 0.80, 0.50}, {0.16, 0.22, 0.86}},  // cut gems
    {{1.00, 0.34, 0.42}, {0.58, 0.88, 0.22}, {0.22, 0.42, 1.00}},  // candy
    {{0.90, 0.34, 0.24}, {0.42, 0.72, 0.34}, {0.20, 0.36, 0.78}},  // metal studs
};

const char* const kColourNames[3] = {"r", "g", "b"};

double wave(double phase) { return std::sin(2 * kPi * phase); }

void outlineCurrent(cairo_t* cr, Rgb c, double width)
{
    setColour(cr, c);
    cairo_set_line_width(cr, width);
    cairo_stroke_preserve(cr);
}

void selectionRim(cairo_t* cr)
{
    // Drawn over the current path: a warm white ring just inside the edge.
    cairo_set_line_width(cr, 2.2);
    cairo_set_source_rgba(cr, 1.0, 0.97, 0.75, 0.95);
    cairo_stroke(cr);
}

// A four-pointed twinkle.
void twinkle(cairo_t* cr, double x, double y, double size, double alpha)
{
    if (alpha <= 0.01 || size <= 0.1)
        return;
    glowSpot(cr, x, y, size * 0.9, Rgb{1, 1, 1}, alpha * 0.8);
    cairo_save(cr);
    starPath(cr, x, y, size, size * 0.18, 4, 0);
    cairo_set_source_rgba(cr, 1, 1, 1, alpha);
    cairo_fill(cr);
    cairo_restore(cr);
}

void glassOrb(cairo_t* cr, Rgb base, int colour, double phase, bool selected)
{
    const double cx = 16, cy = 16, r = 14.6;
    cairo_pattern_t* body = cairo_pattern_create_radial(11.5, 10, 1, cx, cy, r);
    addStop(body, 0, lighten(base, 0.45));
    addStop(body, 0.5, base);
    addStop(body, 1, darken(base, 0.6));
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    outlineCurrent(cr, darken(base, 0.82), 1.5);
    cairo_new_path(cr);

    // Light caught inside the glass at the bottom right.
    cairo_arc(cr, cx, cy, 11.5, 0.15 * kPi, 0.75 * kPi);
    setColour(cr, lighten(base, 0.55), 0.55);
    cairo_set_line_width(cr, 2.0);
    cairo_stroke(cr);

    // The colour's mark floats inside the orb, breathing gently.
    const double s = 5.6 + 0.35 * wave(phase);
    markPath(cr, colour, cx, cy + 1, s);
    setColour(cr, lighten(base, 0.7), 0.78);
    cairo_fill_preserve(cr);
    setColour(cr, darken(base, 0.45), 0.9);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    // Fixed window highlight at the top left.
    cairo_save(cr);
    cairo_translate(cr, 11.2, 9.0);
    cairo_rotate(cr, -0.6);
    cairo_scale(cr, 5.8, 3.2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_pattern_t* shine = cairo_pattern_create_linear(0, 5, 0, 13);
    cairo_pattern_add_color_stop_rgba(shine, 0, 1, 1, 1, 0.85);
    cairo_pattern_add_color_stop_rgba(shine, 1, 1, 1, 1, 0.15);
    cairo_set_source(cr, shine);
    cairo_fill(cr);
    cairo_pattern_destroy(shine);

    // A glint travels once around the rim per cycle, brightest near the light.
    const double a = 2 * kPi * phase - kPi * 0.75;
    const double light = 0.5 + 0.5 * std::cos(a + kPi * 0.75);
    twinkle(cr, cx + 11 * std::cos(a), cy + 11 * std::sin(a), 2.5 + 2.5 * light, 0.35 + 0.6 * light);

    if (selected) {
        cairo_arc(cr, cx, cy, r - 1.2, 0, 2 * kPi);
        selectionRim(cr);
    }
}

void cutGem(cairo_t* cr, Rgb base, int colour, double phase, bool selected)
{
    const double cx = 16, cy = 16, outer = 15.6, inner = 8.6;
    const double rot = kPi / 8;
    regularPolygon(cr, cx, cy, outer, 8, rot);
    setColour(cr, darken(base, 0.3));
    cairo_fill(cr);

    // Crown facets, each lit by how it faces a light that swings slowly.
    const double lightAngle = -0.75 * kPi + 0.45 * wave(phase);
    for (int k = 0; k < 8; k++) {
        const double a0 = rot + 2 * kPi * k / 8;
        const double a1 = rot + 2 * kPi * (k + 1) / 8;
        const double mid = (a0 + a1) / 2;
        const double lit = 0.5 + 0.5 * std::cos(mid - lightAngle);
        cairo_move_to(cr, cx + outer * std::cos(a0), cy + outer * std::sin(a0));
        cairo_line_to(cr, cx + outer * std::cos(a1), cy + outer * std::sin(a1));
        cairo_line_to(cr, cx + inner * std::cos(a1), cy + inner * std::sin(a1));
        cairo_line_to(cr, cx + inner * std::cos(a0), cy + inner * std::sin(a0));
        cairo_close_path(cr);
        Rgb c = lit > 0.5 ? lighten(base, (lit - 0.5) * 1.1) : darken(base, (0.5 - lit) * 1.1);
        setColour(cr, c);
        cairo_fill_preserve(cr);
        setColour(cr, lighten(base, 0.5), 0.35);
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    }

    // Table, with the mark cut into it.
    regularPolygon(cr, cx, cy, inner, 8, rot);
    cairo_pattern_t* table = cairo_pattern_create_linear(cx - inner, cy - inner, cx + inner, cy + inner);
    addStop(table, 0, lighten(base, 0.4));
    addStop(table, 1, darken(base, 0.15));
    cairo_set_source(cr, table);
    cairo_fill(cr);
    cairo_pattern_destroy(table);

    markPath(cr, colour, cx + 0.6, cy + 1.4, 4.6);
    setColour(cr, lighten(base, 0.6), 0.7);
    cairo_fill(cr);
    markPath(cr, colour, cx, cy + 0.8, 4.6);
    setColour(cr, darken(base, 0.55));
    cairo_fill(cr);

    // A band of light sweeps across during the first half of the cycle.
    if (phase < 0.5) {
        const double t = -0.3 + 1.6 * (phase / 0.5);
        const double px = 32 * t;
        cairo_save(cr);
        regularPolygon(cr, cx, cy, outer, 8, rot);
        cairo_clip(cr);
        cairo_pattern_t* band = cairo_pattern_create_linear(px - 8, px - 8 - 32, px + 8, px + 8 - 32);
        cairo_pattern_add_color_stop_rgba(band, 0, 1, 1, 1, 0);
        cairo_pattern_add_color_stop_rgba(band, 0.5, 1, 1, 1, 0.55);
        cairo_pattern_add_color_stop_rgba(band, 1, 1, 1, 1, 0);
        cairo_set_source(cr, band);
        cairo_paint(cr);
        cairo_pattern_destroy(band);
        cairo_restore(cr);
        const double sparkle = std::sin(kPi * phase / 0.5);
        twinkle(cr, 8 + 16 * (phase / 0.5), 6 + 4 * (phase / 0.5), 4.5 * sparkle, sparkle);
    }

    regularPolygon(cr, cx, cy, outer - 0.6, 8, rot);
    setColour(cr, darken(base, 0.85));
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    if (selected) {
        regularPolygon(cr, cx, cy, outer - 1.8, 8, rot);
        selectionRim(cr);
    }
}

void candy(cairo_t* cr, Rgb base, int colour, double phase, bool selected)
{
    // A jelly sweet that breathes and whose stripes roll slowly.
    const double pulse = 1 + 0.03 * wave(phase);
    cairo_save(cr);
    cairo_translate(cr, 16, 16);
    cairo_scale(cr, pulse, 1 / pulse);
    cairo_translate(cr, -16, -16);

    roundedRect(cr, 2, 2.2, 28, 27.6, 9);
    cairo_path_t* shape = cairo_copy_path(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 2, 0, 30);
    addStop(body, 0, lighten(base, 0.3));
    addStop(body, 0.55, base);
    addStop(body, 1, darken(base, 0.35));
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    cairo_save(cr);
    cairo_append_path(cr, shape);
    cairo_clip(cr);
    const double period = 9;
    const double offset = phase * period;
    cairo_set_line_width(cr, 3.2);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.2);
    for (double x = -40 + offset; x < 40; x += period) {
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x + 32, 32);
    }
    cairo_stroke(cr);
    // Soft inner shade along the bottom edge gives the jelly its depth.
    cairo_pattern_t* depth = cairo_pattern_create_radial(16, 12, 8, 16, 14, 20);
    cairo_pattern_add_color_stop_rgba(depth, 0, 0, 0, 0, 0);
    addStop(depth, 1, darken(base, 0.6), 0.55);
    cairo_set_source(cr, depth);
    cairo_paint(cr);
    cairo_pattern_destroy(depth);
    cairo_restore(cr);

    // Sugar icing in the colour's shape, with a soft drop.
    markPath(cr, colour, 16.6, 17.8, 6.4);
    setColour(cr, darken(base, 0.6), 0.45);
    cairo_fill(cr);
    markPath(cr, colour, 16, 17, 6.4);
    setColour(cr, lighten(base, 0.85));
    cairo_fill(cr);

    // Glossy top highlight.
    roundedRect(cr, 6, 4.3, 20, 7.5, 3.7);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, 4.3, 0, 11.8);
    cairo_pattern_add_color_stop_rgba(gloss, 0, 1, 1, 1, 0.75);
    cairo_pattern_add_color_stop_rgba(gloss, 1, 1, 1, 1, 0.05);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);

    cairo_append_path(cr, shape);
    setColour(cr, darken(base, 0.8));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    if (selected) {
        roundedRect(cr, 3.2, 3.4, 25.6, 25.2, 8);
        selectionRim(cr);
    }
    cairo_path_destroy(shape);
    cairo_restore(cr);
}

void metalStud(cairo_t* cr, Rgb base, int colour, double phase, bool selected)
{
    // An anodised plate with a bevel, a stamped mark and four rivets.
    roundedRect(cr, 1.5, 1.5, 29, 29, 4.5);
    cairo_pattern_t* bevel = cairo_pattern_create_linear(1.5, 1.5, 30.5, 30.5);
    addStop(bevel, 0, lighten(base, 0.6));
    addStop(bevel, 0.5, base);
    addStop(bevel, 1, darken(base, 0.65));
    cairo_set_source(cr, bevel);
    cairo_fill(cr);
    cairo_pattern_destroy(bevel);

    roundedRect(cr, 5, 5, 22, 22, 2.5);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 5, 0, 27);
    addStop(face, 0, darken(base, 0.05));
    addStop(face, 0.5, lighten(base, 0.12));
    addStop(face, 1, darken(base, 0.25));
    cairo_set_source(cr, face);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(face);
    // Brushed grain: fine horizontal streaks, the same in every frame.
    cairo_save(cr);
    cairo_clip(cr);
    cairo_set_line_width(cr, 0.5);
    for (int y = 0; y < 44; y++) {
        const double v = hashNoise(y, colour, 77);
        cairo_move_to(cr, 5, 5 + y * 0.5);
        cairo_line_to(cr, 27, 5 + y * 0.5);
        cairo_set_source_rgba(cr, v > 0.5 ? 1 : 0, v > 0.5 ? 1 : 0, v > 0.5 ? 1 : 0, 0.06 + 0.06 * std::fabs(v - 0.5));
        cairo_stroke(cr);
    }
    // A sheen slides across the face once per cycle.
    const double t = -0.6 + 2.2 * phase;
    const double px = 5 + 22 * t;
    cairo_pattern_t* sheen = cairo_pattern_create_linear(px - 9, 0, px + 9, 12);
    cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(sheen, 0.5, 1, 1, 1, 0.42);
    cairo_pattern_add_color_stop_rgba(sheen, 1, 1, 1, 1, 0);
    cairo_set_source(cr, sheen);
    cairo_paint(cr);
    cairo_pattern_destroy(sheen);
    cairo_restore(cr);
    roundedRect(cr, 5, 5, 22, 22, 2.5);
    setColour(cr, darken(base, 0.7), 0.9);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);

    // Stamped mark: shadow on the upper left, light on the lower right.
    markPath(cr, colour, 16.7, 16.9, 5.8);
    setColour(cr, lighten(base, 0.65), 0.85);
    cairo_fill(cr);
    markPath(cr, colour, 16, 16.2, 5.8);
    setColour(cr, darken(base, 0.62));
    cairo_fill(cr);

    const double rivets[4][2] = {{3.6, 3.6}, {28.4, 3.6}, {3.6, 28.4}, {28.4, 28.4}};
    for (const auto& p : rivets) {
        cairo_arc(cr, p[0], p[1], 1.25, 0, 2 * kPi);
        cairo_pattern_t* rivet = cairo_pattern_create_radial(p[0] - 0.5, p[1] - 0.5, 0.1, p[0], p[1], 1.4);
        addStop(rivet, 0, Rgb{0.95, 0.95, 0.95});
        addStop(rivet, 1, darken(base, 0.5));
        cairo_set_source(cr, rivet);
        cairo_fill(cr);
        cairo_pattern_destroy(rivet);
    }

    roundedRect(cr, 1.5, 1.5, 29, 29, 4.5);
    setColour(cr, darken(base, 0.85));
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    if (selected) {
        roundedRect(cr, 2.8, 2.8, 26.4, 26.4, 3.6);
        selectionRim(cr);
    }
}

// Drawn in a 32 x 32 cell of its own, then flattened for the colour key.
void renderStrip(std::vector<Member>& out, const std::string& name, Rgb edge,
                 void (*draw)(cairo_t*, int, int, double, bool), int theme, int colour, bool selected)
{
    Canvas strip(32 * kFrames, 32);
    for (int f = 0; f < kFrames; f++) {
        Canvas cell(32, 32);
        draw(cell.cr(), theme, colour, f / double(kFrames), selected);
        strip.paste(cell, 32 * f, 0);
    }
    strip.flattenForKey(edge.r, edge.g, edge.b);
    out.push_back(strip.member(name));
}

}  // namespace

Rgb tileColour(int theme, int colour) { return kPalette[theme - 1][colour]; }

void markPath(cairo_t* cr, int colour, double cx, double cy, double size)
{
    cairo_new_sub_path(cr);
    switch (colour) {
    case 0:
        cairo_arc(cr, cx, cy, size * 0.62, 0, 2 * kPi);
        break;
    case 1:
        regularPolygon(cr, cx, cy + size * 0.12, size * 0.88, 3, -kPi / 2);
        break;
    default:
        regularPolygon(cr, cx, cy, size * 0.8, 4, -kPi / 2);
        break;
    }
}

void drawTile(cairo_t* cr, int theme, int colour, double phase, bool selected)
{
    Rgb base = tileColour(theme, colour);
    if (selected)
        base = lighten(base, 0.22);
    cairo_save(cr);
    switch (theme) {
    case 1: glassOrb(cr, base, colour, phase, selected); break;
    case 2: cutGem(cr, base, colour, phase, selected); break;
    case 3: candy(cr, base, colour, phase, selected); break;
    default: metalStud(cr, base, colour, phase, selected); break;
    }
    cairo_restore(cr);
}

void drawBonusTile(cairo_t* cr, int colour, double phase, bool selected)
{
    Rgb base = tileColour(1, colour);
    if (selected)
        base = lighten(base, 0.22);
    const Rgb gold{1.0, 0.78, 0.25};
    cairo_save(cr);

    // Gold frame around a deep field of the group's colour.
    roundedRect(cr, 1.2, 1.2, 29.6, 29.6, 7);
    cairo_pattern_t* frame = cairo_pattern_create_linear(0, 1, 0, 31);
    addStop(frame, 0, lighten(gold, 0.55));
    addStop(frame, 0.5, gold);
    addStop(frame, 1, darken(gold, 0.5));
    cairo_set_source(cr, frame);
    cairo_fill(cr);
    cairo_pattern_destroy(frame);

    roundedRect(cr, 4, 4, 24, 24, 5);
    cairo_pattern_t* field = cairo_pattern_create_radial(13, 11, 2, 16, 16, 17);
    addStop(field, 0, lighten(base, 0.3));
    addStop(field, 0.6, base);
    addStop(field, 1, darken(base, 0.55));
    cairo_set_source(cr, field);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(field);
    setColour(cr, darken(gold, 0.7));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // The group's own mark, small, in the top left of the field.
    markPath(cr, colour, 8.6, 8.6, 2.6);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_fill(cr);

    switch (colour) {
    case 0: {
        // "x2", breathing.
        const double s = 1 + 0.07 * wave(phase);
        cairo_save(cr);
        cairo_translate(cr, 16.5, 17);
        cairo_scale(cr, s, s);
        TextStyle t;
        t.face = Face::TitleBlack;
        t.size = 15;
        t.top = Rgb{1, 1, 0.9};
        t.bottom = Rgb{1, 0.85, 0.35};
        t.outline = Rgb{0.18, 0.05, 0.02};
        t.outlineWidth = 2.6;
        drawText(cr, "\xC3\x97" "2", 0, 5.2, 0.5, t);
        cairo_restore(cr);
        break;
    }
    case 1: {
        // Rows dropping in: three bars under a bobbing arrow.
        const double bob = 1.6 * wave(phase);
        for (int i = 0; i < 2; i++) {
            roundedRect(cr, 8, 20.5 + 3.6 * i, 16, 2.4, 1.2);
            setColour(cr, Rgb{0.06, 0.2, 0.08});
            cairo_set_line_width(cr, 1.6);
            cairo_stroke_preserve(cr);
            cairo_set_source_rgba(cr, 1, 1, 0.9, 1);
            cairo_fill(cr);
        }
        cairo_move_to(cr, 16, 18.5 + bob);
        cairo_line_to(cr, 23, 12 + bob);
        cairo_line_to(cr, 19, 12 + bob);
        cairo_line_to(cr, 19, 6.5 + bob);
        cairo_line_to(cr, 13, 6.5 + bob);
        cairo_line_to(cr, 13, 12 + bob);
        cairo_line_to(cr, 9, 12 + bob);
        cairo_close_path(cr);
        setColour(cr, Rgb{0.06, 0.2, 0.08});
        cairo_set_line_width(cr, 1.8);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
        cairo_pattern_t* arrow = cairo_pattern_create_linear(0, 6, 0, 19);
        addStop(arrow, 0, Rgb{1, 1, 0.9});
        addStop(arrow, 1, gold);
        cairo_set_source(cr, arrow);
        cairo_fill(cr);
        cairo_pattern_destroy(arrow);
        break;
    }
    default: {
        // A gold coin turning about its upright axis.
        const double turn = std::cos(2 * kPi * phase);
        const double rx = std::max(1.6, 8.5 * std::fabs(turn));
        cairo_save(cr);
        cairo_translate(cr, 16, 16.5);
        cairo_scale(cr, rx / 8.5, 1);
        cairo_arc(cr, 0, 0, 8.5, 0, 2 * kPi);
        cairo_restore(cr);
        setColour(cr, darken(gold, 0.75));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke_preserve(cr);
        cairo_pattern_t* coin = cairo_pattern_create_linear(16 - rx, 8, 16 + rx, 25);
        addStop(coin, 0, lighten(gold, 0.6));
        addStop(coin, 0.5, gold);
        addStop(coin, 1, darken(gold, 0.35));
        cairo_set_source(cr, coin);
        cairo_fill(cr);
        cairo_pattern_destroy(coin);
        if (rx > 4) {
            cairo_save(cr);
            cairo_translate(cr, 16, 16.5);
            cairo_scale(cr, rx / 8.5, 1);
            starPath(cr, 0, 0.4, 5.2, 2.2, 5, -kPi / 2);
            cairo_restore(cr);
            setColour(cr, darken(gold, 0.4), turn > 0 ? 0.9 : 0.6);
            cairo_fill(cr);
        }
        break;
    }
    }

    // Gloss over the upper half of the frame.
    roundedRect(cr, 3, 2.5, 26, 10, 5);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, 2.5, 0, 12.5);
    cairo_pattern_add_color_stop_rgba(gloss, 0, 1, 1, 1, 0.45);
    cairo_pattern_add_color_stop_rgba(gloss, 1, 1, 1, 1, 0);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);

    roundedRect(cr, 1.2, 1.2, 29.6, 29.6, 7);
    setColour(cr, Rgb{0.2, 0.12, 0.02});
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    if (selected) {
        roundedRect(cr, 2.4, 2.4, 27.2, 27.2, 6);
        selectionRim(cr);
    }
    cairo_restore(cr);
}

void addTileStrips(std::vector<Member>& out)
{
    for (int theme = 1; theme <= 4; theme++) {
        for (int sel = 0; sel < 2; sel++) {
            for (int colour = 0; colour < 3; colour++) {
                const std::string name = "theme" + std::to_string(theme) + "/" + (sel ? "s" : "") + kColourNames[colour] + ".bmp";
                renderStrip(out, name, darken(tileColour(theme, colour), 0.8),
                            [](cairo_t* cr, int t, int c, double p, bool s) { drawTile(cr, t, c, p, s); },
                            theme, colour, sel != 0);
            }
        }
    }
    for (int sel = 0; sel < 2; sel++) {
        for (int colour = 0; colour < 3; colour++) {
            const std::string name = std::string("bonus/") + (sel ? "s" : "") + kColourNames[colour] + ".bmp";
            renderStrip(out, name, Rgb{0.2, 0.12, 0.02},
                        [](cairo_t* cr, int, int c, double p, bool s) { drawBonusTile(cr, c, p, s); },
                        0, colour, sel != 0);
        }
    }
}
