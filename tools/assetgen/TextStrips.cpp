// The font strip and the two digit strips that all text is drawn from.
#include "Paint.h"
#include "Pictures.h"

#include <algorithm>
#include <string>

namespace {

const char kGlyphs[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.!*-";

// One glyph, its ink scaled down to `maxWidth` if need be and centred on
// `centreX`, its baseline at `baseline`; a negative baseline instead centres
// the ink vertically on -baseline (for '*' and '-', which float).
void fittedGlyph(cairo_t* cr, const std::string& text, double centreX, double baseline,
                 double maxWidth, const TextStyle& style)
{
    useFace(cr, style.face, style.size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    const double scale = e.width > maxWidth ? maxWidth / e.width : 1.0;
    if (baseline < 0)
        baseline = -baseline - (e.y_bearing + e.height / 2);
    cairo_save(cr);
    cairo_translate(cr, centreX, baseline);
    cairo_scale(cr, scale, 1);
    // Place the ink, not the advance box, on the centre.
    drawText(cr, text, -(e.x_bearing + e.width / 2), 0, 0, style);
    cairo_restore(cr);
}

void fontStrip(std::vector<Member>& out)
{
    // Glyphs follow each other 12 px apart, so the ink stays inside x 0..12
    // of each 16 px cell; the outline keeps them legible over any board.
    Canvas canvas(640, 16);
    const TextStyle style{Face::TitleBold, 16.5,
                          Rgb{1.0, 1.0, 0.86}, Rgb{1.0, 0.76, 0.2},  // top, bottom
                          Rgb{0.16, 0.07, 0.02}, 2.3};               // outline and its width
    for (int i = 0; i < 40; i++) {
        const std::string glyph(1, kGlyphs[i]);
        TextStyle s = style;
        double baseline = 13.6;
        if (glyph == "*") {
            s.size = 24;  // the face's asterisk is small and high; enlarge and centre it
            baseline = -7.8;
        } else if (glyph == "-") {
            baseline = -8.2;
        }
        fittedGlyph(canvas.cr(), glyph, 16 * i + 6.5, baseline, 10.4, s);
    }
    canvas.flattenForKey(style.outline.r, style.outline.g, style.outline.b);
    out.push_back(canvas.member("font.bmp"));
}

void bigDigits(std::vector<Member>& out)
{
    Canvas canvas(200, 28);
    const TextStyle style{Face::TitleBlack, 31,
                          Rgb{1.0, 1.0, 0.95}, Rgb{1.0, 0.72, 0.16},  // top, bottom
                          Rgb{0.14, 0.06, 0.02}, 3.2};                // outline and its width
    for (int d = 0; d < 10; d++)
        fittedGlyph(canvas.cr(), std::string(1, char('0' + d)), 20 * d + 10, 25, 15, style);
    canvas.flattenForKey(style.outline.r, style.outline.g, style.outline.b);
    out.push_back(canvas.member("numbers.bmp"));
}

// 5 x 7 pixel digits: crisp at their tiny size, where smooth type would blur.
const char* const kSmallDigits[10][7] = {
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
};

void smallDigits(std::vector<Member>& out)
{
    Canvas canvas(80, 7);
    cairo_t* cr = canvas.cr();
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    for (int d = 0; d < 10; d++) {
        auto lit = [&](int x, int y) {
            return x >= 0 && x < 5 && y >= 0 && y < 7 && kSmallDigits[d][y][x] == '#';
        };
        // A dark rim on every side there is room for, then the light pixels.
        for (int y = 0; y < 7; y++) {
            for (int x = -1; x <= 5; x++) {
                if (lit(x, y))
                    continue;
                bool near = false;
                for (int dy = -1; dy <= 1; dy++)
                    for (int dx = -1; dx <= 1; dx++)
                        near = near || lit(x + dx, y + dy);
                if (near) {
                    cairo_rectangle(cr, 8 * d + 1 + x, y, 1, 1);
                    cairo_set_source_rgb(cr, 0.22, 0.1, 0.03);
                    cairo_fill(cr);
                }
            }
        }
        for (int y = 0; y < 7; y++) {
            for (int x = 0; x < 5; x++) {
                if (lit(x, y)) {
                    cairo_rectangle(cr, 8 * d + 1 + x, y, 1, 1);
                    const Rgb c = mix(Rgb{1, 1, 0.88}, Rgb{1, 0.78, 0.3}, y / 6.0);
                    setColour(cr, c);
                    cairo_fill(cr);
                }
            }
        }
    }
    canvas.flattenForKey(0.22, 0.1, 0.03);
    out.push_back(canvas.member("smallnums.bmp"));
}

}  // namespace

void addTextStrips(std::vector<Member>& out)
{
    fontStrip(out);
    bigDigits(out);
    smallDigits(out);
}
