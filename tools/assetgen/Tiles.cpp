#include "Tiles.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

const int kFrames = 20;

// Per theme, the three colours sit far apart in lightness as well as in
// hue (green lightest, red in the middle, blue darkest), so that they stay
// apart for players who cannot tell red from green or blue from green, and
// in grey. Each colour also carries its own large mark.
const Rgb kPalette[4][3] = {
    {{1.00, 0.30, 0.40}, {0.78, 0.98, 0.36}, {0.05, 0.15, 0.60}},  // glass orbs
    {{1.00, 0.30, 0.46}, {0.70, 0.98, 0.40}, {0.06, 0.15, 0.60}},  // cut gems
    {{1.00, 0.38, 0.48}, {0.82, 0.98, 0.36}, {0.08, 0.19, 0.68}},  // candy
    {{0.96, 0.38, 0.42}, {0.74, 0.94, 0.40}, {0.08, 0.19, 0.58}},  // metal studs
};

// Bonus tiles lie on boards of every theme; their gold frame is common to
// all three, so the colours inside it keep a little further apart.
const Rgb kBonusPalette[3] = {{1.00, 0.34, 0.44}, {0.80, 0.99, 0.36}, {0.02, 0.07, 0.40}};

// The size that gives each mark a span of about half the tile.
const double kMarkSize = 12;
// Bonus tiles carry their bonus inside the mark, so theirs is larger.
const double kBonusMarkSize = 15;

const char* const kColourNames[3] = {"r", "g", "b"};

double wave(double phase) { return std::sin(2 * kPi * phase); }

void outlineCurrent(cairo_t* cr, Rgb c, double width)
{
    setColour(cr, c);
    cairo_set_line_width(cr, width);
    cairo_stroke_preserve(cr);
}

// The same, letting the path go.
void strokeCurrent(cairo_t* cr, Rgb c, double width, double alpha = 1.0)
{
    setColour(cr, c, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

double linearLight(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

// A selected tile is the same colour under more light: every channel is
// scaled in linear light, which keeps the colours as far apart as before.
Rgb underLight(Rgb c, double gain)
{
    auto channel = [gain](double v) {
        const double lit = std::min(1.0, linearLight(v) * gain);
        return lit <= 0.0031308 ? lit * 12.92 : 1.055 * std::pow(lit, 1 / 2.4) - 0.055;
    };
    return Rgb{channel(c.r), channel(c.g), channel(c.b)};
}

const double kSelectedGain = 1.5;

void selectionRim(cairo_t* cr, Rgb base)
{
    // Drawn over the current path: a bright ring of the tile's own colour
    // just inside the edge.
    cairo_set_line_width(cr, 1.8);
    setColour(cr, lighten(base, 0.6), 0.95);
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

// The colour's mark as a deep inlay ringed in light, so that the shape
// stands well clear of the body around it whether lit or not. How deep and
// how bright depend on the colour: enough for the shape, no more, so that
// each colour keeps its own lightness.
void inlaidMark(cairo_t* cr, Rgb base, int colour, double cx, double cy, double size = kMarkSize,
                double brighterRim = 0)
{
    static const struct { double rim, rimWidth, deep, shallow; } kInlay[3] = {
        {0.45, 2.4, 0.7, 0.56},  // red
        {0.5, 2.0, 0.78, 0.68},  // green
        {0.32, 5.0, 0.5, 0.2},   // blue
    };
    const auto& in = kInlay[colour];
    // The inlay is the colour deepened: squaring the channels keeps the hue
    // and makes it richer as it darkens.
    const Rgb rich{base.r * base.r, base.g * base.g, base.b * base.b};
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    markPath(cr, colour, cx, cy, size);
    setColour(cr, lighten(base, in.rim + brighterRim));
    cairo_set_line_width(cr, in.rimWidth);
    cairo_stroke_preserve(cr);
    fillLinear(cr, cx - 6, cy - 7, cx + 6, cy + 7, {
        {0, darken(rich, in.deep)},
        {1, darken(rich, in.shallow)}});
    // A soft gleam on the inlay's upper left makes it glassy rather than a hole.
    markPath(cr, colour, cx, cy, size);
    cairo_clip(cr);
    glowSpot(cr, cx - size * 0.22, cy - size * 0.2, size * 0.32, lighten(base, 0.5), 0.3);
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
    strokeCurrent(cr, lighten(base, 0.55), 2.0, 0.55);

    // The colour's mark floats inside the orb as a dark core in a bright rim.
    inlaidMark(cr, base, colour, cx, cy + 1 + 0.3 * wave(phase));

    // Fixed window highlight at the top left.
    cairo_save(cr);
    cairo_translate(cr, 11.2, 9.0);
    cairo_rotate(cr, -0.6);
    cairo_scale(cr, 5.8, 3.2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    fillSheen(cr, 5, 13, 0.85, 0.15);

    // A glint travels once around the rim per cycle, brightest near the light.
    const double a = 2 * kPi * phase - kPi * 0.75;
    const double light = 0.5 + 0.5 * std::cos(a + kPi * 0.75);
    twinkle(cr, cx + 11 * std::cos(a), cy + 11 * std::sin(a), 2.5 + 2.5 * light, 0.35 + 0.6 * light);

    if (selected) {
        cairo_arc(cr, cx, cy, r - 1.2, 0, 2 * kPi);
        selectionRim(cr, base);
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
        strokeCurrent(cr, lighten(base, 0.5), 0.6, 0.35);
    }

    // Table, with the mark cut into it.
    regularPolygon(cr, cx, cy, inner, 8, rot);
    fillLinear(cr, cx - inner, cy - inner, cx + inner, cy + inner, {
        {0, lighten(base, 0.4)},
        {1, darken(base, 0.15)}});

    // A band of light sweeps across during the first half of the cycle.
    if (phase < 0.5) {
        const double t = -0.3 + 1.6 * (phase / 0.5);
        const double px = 32 * t;
        cairo_save(cr);
        regularPolygon(cr, cx, cy, outer, 8, rot);
        cairo_clip(cr);
        paintBand(cr, px - 8, px - 8 - 32, px + 8, px + 8 - 32, Rgb{1, 1, 1}, 0.55);
        cairo_restore(cr);
        const double sparkle = std::sin(kPi * phase / 0.5);
        twinkle(cr, 8 + 16 * (phase / 0.5), 6 + 4 * (phase / 0.5), 4.5 * sparkle, sparkle);
    }

    // The mark is cut into the table after the light has passed over it.
    inlaidMark(cr, base, colour, cx, cy + 0.8);

    regularPolygon(cr, cx, cy, outer - 0.6, 8, rot);
    strokeCurrent(cr, darken(base, 0.85), 1.4);
    if (selected) {
        regularPolygon(cr, cx, cy, outer - 1.8, 8, rot);
        selectionRim(cr, base);
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
    fillLinear(cr, 0, 2, 0, 30, {{0, lighten(base, 0.3)}, {0.55, base}, {1, darken(base, 0.35)}});

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

    // Liquorice in the colour's shape, piped round with sugar icing.
    markPath(cr, colour, 16.6, 17.8, kMarkSize);
    strokeCurrent(cr, darken(base, 0.6), 3.4, 0.4);
    inlaidMark(cr, base, colour, 16, 17);

    // Glossy top highlight.
    roundedRect(cr, 6, 4.3, 20, 7.5, 3.7);
    fillSheen(cr, 4.3, 11.8, 0.75, 0.05);

    cairo_append_path(cr, shape);
    strokeCurrent(cr, darken(base, 0.8), 1.5);
    if (selected) {
        roundedRect(cr, 3.2, 3.4, 25.6, 25.2, 8);
        selectionRim(cr, base);
    }
    cairo_path_destroy(shape);
    cairo_restore(cr);
}

void metalStud(cairo_t* cr, Rgb base, int colour, double phase, bool selected)
{
    // An anodised plate with a bevel, a stamped mark and four rivets.
    roundedRect(cr, 1.5, 1.5, 29, 29, 4.5);
    fillLinear(cr, 1.5, 1.5, 30.5, 30.5, {
        {0, lighten(base, 0.6)},
        {0.5, base},
        {1, darken(base, 0.65)}});

    roundedRect(cr, 5, 5, 22, 22, 2.5);
    fillLinear(cr, 0, 5, 0, 27, {
        {0, darken(base, 0.05)},
        {0.5, lighten(base, 0.12)},
        {1, darken(base, 0.25)}}, true);
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
    // (It lies along x + 2y/3 from px - 9 to px + 17, so it has left the
    // face before the cycle starts again.)
    const double px = -10 + 66 * phase;
    paintBand(cr, px - 9, 0, px + 9, 12, Rgb{1, 1, 1}, 0.42);
    cairo_restore(cr);
    roundedRect(cr, 5, 5, 22, 22, 2.5);
    strokeCurrent(cr, darken(base, 0.7), 0.9, 0.9);

    // Stamped mark with a polished bevel.
    inlaidMark(cr, base, colour, 16, 16.4);

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
    strokeCurrent(cr, darken(base, 0.85), 1.4);
    if (selected) {
        roundedRect(cr, 2.8, 2.8, 26.4, 26.4, 3.6);
        selectionRim(cr, base);
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
        regularPolygon(cr, cx, cy + size * 0.1, size * 0.8, 3, -kPi / 2);
        break;
    default:
        regularPolygon(cr, cx, cy, size * 0.66, 4, -kPi / 2);
        break;
    }
}

void drawTile(cairo_t* cr, int theme, int colour, double phase, bool selected)
{
    Rgb base = tileColour(theme, colour);
    if (selected)
        base = underLight(base, kSelectedGain);
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
    // The deep colours inside the gold need more light to show the selection.
    Rgb base = kBonusPalette[colour];
    if (selected)
        base = underLight(base, kSelectedGain * 1.4);
    const Rgb gold = selected ? Rgb{1.0, 0.86, 0.45} : Rgb{1.0, 0.78, 0.25};
    cairo_save(cr);

    // A thin gold frame around a field of the group's colour.
    roundedRect(cr, 1.2, 1.2, 29.6, 29.6, 7);
    fillLinear(cr, 0, 1, 0, 31, {
        {0, lighten(gold, 0.4)},
        {0.5, darken(gold, 0.1)},
        {1, darken(gold, 0.55)}});

    roundedRect(cr, 3.1, 3.1, 25.8, 25.8, 5.5);
    cairo_pattern_t* field = cairo_pattern_create_radial(13, 11, 2, 16, 16, 17);
    addStop(field, 0, lighten(base, 0.3));
    addStop(field, 0.6, base);
    addStop(field, 1, darken(base, 0.45));
    cairo_set_source(cr, field);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(field);
    strokeCurrent(cr, darken(gold, 0.7), 1);

    // The group's own mark, as on every tile of its colour, with the
    // bonus struck into it in gold.
    const double markY = colour == 1 ? 15.6 : 16.4;
    inlaidMark(cr, base, colour, 16, markY, kBonusMarkSize, 0.18);

    switch (colour) {
    case 0: {
        // "x2", breathing.
        const double s = 1 + 0.06 * wave(phase);
        cairo_save(cr);
        cairo_translate(cr, 16.2, markY);
        cairo_scale(cr, s, s);
        TextStyle t;
        t.face = Face::TitleBlack;
        t.size = 9.5;
        t.top = Rgb{1, 0.96, 0.7};
        t.bottom = gold;
        t.outline = Rgb{0.18, 0.05, 0.02};
        t.outlineWidth = 1.2;
        drawText(cr, "\xC3\x97" "2", 0, 3.4, 0.5, t);
        cairo_restore(cr);
        break;
    }
    case 1: {
        // An arrow bobbing down onto a row, drawn in gold line.
        const double bob = 0.7 * wave(phase);
        const double y = markY + 2.0;
        cairo_save(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_move_to(cr, 16, y - 5.2 + bob);
        cairo_line_to(cr, 16, y + 0.8 + bob);
        cairo_move_to(cr, 13.3, y - 1.8 + bob);
        cairo_line_to(cr, 16, y + 0.9 + bob);
        cairo_line_to(cr, 18.7, y - 1.8 + bob);
        cairo_move_to(cr, 12.6, y + 3.6);
        cairo_line_to(cr, 19.4, y + 3.6);
        strokeCurrent(cr, lighten(gold, 0.3), 1.25);
        cairo_restore(cr);
        break;
    }
    default: {
        // A gold coin, drawn in line, turning about its upright axis.
        const double turn = std::cos(2 * kPi * phase);
        const double r = 3.6;
        const double rx = std::max(0.6, r * std::fabs(turn));
        cairo_save(cr);
        cairo_translate(cr, 16, markY);
        cairo_scale(cr, rx / r, 1);
        cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
        cairo_restore(cr);
        strokeCurrent(cr, lighten(gold, 0.3), 1.1);
        if (rx > 2.2) {
            cairo_save(cr);
            cairo_translate(cr, 16, markY);
            cairo_scale(cr, rx / r, 1);
            starPath(cr, 0, 0.2, 2.0, 0.85, 5, -kPi / 2);
            cairo_restore(cr);
            setColour(cr, gold);
            cairo_fill(cr);
        }
        break;
    }
    }

    // Gloss along the top of the frame.
    roundedRect(cr, 3, 2.2, 26, 5.5, 2.7);
    fillSheen(cr, 2.2, 7.7, 0.5, 0);

    roundedRect(cr, 1.2, 1.2, 29.6, 29.6, 7);
    strokeCurrent(cr, Rgb{0.2, 0.12, 0.02}, 1.4);
    if (selected) {
        roundedRect(cr, 2.4, 2.4, 27.2, 27.2, 6);
        selectionRim(cr, base);
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
