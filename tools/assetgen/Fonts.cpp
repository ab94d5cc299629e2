// The two typefaces, opened once through FreeType for cairo.
#include "Paint.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>
#include <string>

namespace {

const char* const kFontFiles[] = {
    "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Black.otf",
    "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Bold.otf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
};

class FontSet {
public:
    FontSet()
    {
        if (FT_Init_FreeType(&library) != 0)
            throw std::runtime_error("cannot start FreeType");
        for (int i = 0; i < 4; i++) {
            if (FT_New_Face(library, kFontFiles[i], 0, &faces[i]) != 0)
                throw std::runtime_error(std::string("cannot open font ") + kFontFiles[i] +
                                         " (install fonts-league-spartan and fonts-dejavu-core)");
            cairoFaces[i] = cairo_ft_font_face_create_for_ft_face(faces[i], 0);
            // cairo may outlive our reference in its caches, so it closes the
            // FreeType face itself when it lets go of the last one.
            cairo_font_face_set_user_data(cairoFaces[i], &faceKey, faces[i],
                                          [](void* face) { FT_Done_Face(static_cast<FT_Face>(face)); });
        }
    }
    ~FontSet()
    {
        // Runs at exit, when no drawing is left: empty cairo's caches so the
        // faces are really closed before FreeType itself.
        for (int i = 0; i < 4; i++)
            cairo_font_face_destroy(cairoFaces[i]);
        cairo_debug_reset_static_data();
        FT_Done_FreeType(library);
    }
    cairo_font_face_t* face(Face f) const { return cairoFaces[int(f)]; }

private:
    static inline cairo_user_data_key_t faceKey;
    FT_Library library = nullptr;
    FT_Face faces[4] = {};
    cairo_font_face_t* cairoFaces[4] = {};
};

const FontSet& fontSet()
{
    static FontSet fonts;
    return fonts;
}

}  // namespace

void useFace(cairo_t* cr, Face face, double size)
{
    cairo_set_font_face(cr, fontSet().face(face));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double textWidth(cairo_t* cr, const std::string& text)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

void drawText(cairo_t* cr, const std::string& text, double x, double y, double anchor, const TextStyle& s)
{
    cairo_save(cr);
    useFace(cr, s.face, s.size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    const double left = x - anchor * e.x_advance;

    cairo_new_path(cr);
    cairo_move_to(cr, left, y);
    cairo_text_path(cr, text.c_str());
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);

    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (s.glow > 0) {
        // Several widening strokes at low alpha make a soft halo.
        for (int i = 6; i >= 1; i--) {
            cairo_append_path(cr, path);
            cairo_set_line_width(cr, s.outlineWidth + s.glow * i / 3.0);
            setColour(cr, s.glowColour, 0.07);
            cairo_stroke(cr);
        }
    }
    if (s.shadow > 0) {
        cairo_save(cr);
        cairo_translate(cr, s.shadow * 0.6, s.shadow);
        cairo_append_path(cr, path);
        cairo_set_line_width(cr, s.outlineWidth);
        setColour(cr, Rgb{0, 0, 0}, s.shadowAlpha);
        cairo_stroke_preserve(cr);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    if (s.outlineWidth > 0) {
        cairo_append_path(cr, path);
        cairo_set_line_width(cr, s.outlineWidth);
        setColour(cr, s.outline);
        cairo_stroke(cr);
    }
    cairo_append_path(cr, path);
    fillLinear(cr, 0, y + e.y_bearing, 0, y + e.y_bearing + e.height, {{0, s.top}, {1, s.bottom}});
    cairo_path_destroy(path);
    cairo_restore(cr);
}
