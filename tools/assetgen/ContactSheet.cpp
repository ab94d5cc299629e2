#include "ContactSheet.h"

#include "Paint.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

// Pictures the game draws with black as the transparent colour.
bool keyed(const std::string& name)
{
    static const char* const prefixes[] = {"theme", "bonus/"};
    for (const char* p : prefixes)
        if (name.rfind(p, 0) == 0 && name.find("back.bmp") == std::string::npos)
            return true;
    static const char* const names[] = {
        "mouse.bmp", "font.bmp", "numbers.bmp", "smallnums.bmp", "gameover.bmp", "hiscore.bmp",
        "loselevel.bmp", "wonlevel.bmp", "wongame.bmp", "perfect.bmp", "bonuslife.bmp", "bonus2x.bmp",
        "bonusAddLine.bmp", "bonus1000.bmp", "bonus500.bmp", "5000.bmp"};
    for (const char* n : names)
        if (name == n)
            return true;
    return false;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Picture = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// Decodes a BMP with SDL's loader, as the game does, into a cairo surface
// whose alpha is 0 where the colour key would make it transparent.
Picture decode(const Member& m)
{
    SDL_RWops* rw = SDL_RWFromConstMem(m.bytes.data(), int(m.bytes.size()));
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (!loaded)
        throw std::runtime_error("SDL cannot read " + m.name + ": " + SDL_GetError());
    SDL_Surface* rgb = SDL_CreateRGBSurface(SDL_SWSURFACE, loaded->w, loaded->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(loaded, nullptr, rgb, nullptr);
    SDL_FreeSurface(loaded);

    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, rgb->w, rgb->h);
    unsigned char* data = cairo_image_surface_get_data(out);
    const int stride = cairo_image_surface_get_stride(out);
    const bool key = keyed(m.name);
    SDL_LockSurface(rgb);
    for (int y = 0; y < rgb->h; y++) {
        const Uint32* src = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(rgb->pixels) + y * rgb->pitch);
        uint32_t* dst = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < rgb->w; x++) {
            const uint32_t v = src[x] & 0xFFFFFF;
            dst[x] = (key && v == 0) ? 0 : (0xFF000000u | v);
        }
    }
    SDL_UnlockSurface(rgb);
    SDL_FreeSurface(rgb);
    cairo_surface_mark_dirty(out);
    return Picture(out);
}

class Sheet {
public:
    explicit Sheet(const std::vector<Member>& members)
    {
        for (const Member& m : members) {
            if (m.name.size() > 4 && m.name.compare(m.name.size() - 4, 4, ".bmp") == 0)
                pictures[m.name] = decode(m);
            if (m.name.rfind("wipe", 0) == 0 && m.bytes.size() == 320 * 240)
                masks.push_back(maskPicture(m.bytes));
        }
    }

    // A wipe mask as grey levels: dark blocks open first.
    static Picture maskPicture(const std::vector<unsigned char>& bytes)
    {
        cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 320, 240);
        unsigned char* data = cairo_image_surface_get_data(out);
        const int stride = cairo_image_surface_get_stride(out);
        for (int y = 0; y < 240; y++)
            for (int x = 0; x < 320; x++) {
                const uint32_t v = bytes[y * 320 + x];
                reinterpret_cast<uint32_t*>(data + y * stride)[x] = v << 16 | v << 8 | v;
            }
        cairo_surface_mark_dirty(out);
        return Picture(out);
    }

    cairo_surface_t* get(const std::string& name) const
    {
        auto it = pictures.find(name);
        if (it == pictures.end())
            throw std::runtime_error("contact sheet: no picture " + name);
        return it->second.get();
    }

    // Copies a source rectangle of a picture to (x, y), as SDL_BlitSurface would.
    void blit(cairo_t* cr, const std::string& name, double sx, double sy, double w, double h,
              double x, double y, double alpha = 1.0) const
    {
        cairo_save(cr);
        cairo_rectangle(cr, x, y, w, h);
        cairo_clip(cr);
        cairo_set_source_surface(cr, get(name), x - sx, y - sy);
        cairo_paint_with_alpha(cr, alpha);
        cairo_restore(cr);
    }

    void text(cairo_t* cr, double x, double y, const std::string& s, const std::string& font = "font.bmp") const
    {
        // The game's glyph order; upper and lower case share glyphs.
        for (size_t i = 0; i < s.size(); i++) {
            int c = (unsigned char)s[i];
            int g = -1;
            if (c >= 'a' && c <= 'z') g = c - 'a';
            else if (c >= 'A' && c <= 'Z') g = c - 'A';
            else if (c >= '0' && c <= '9') g = 26 + c - '0';
            else if (c == '.') g = 36;
            else if (c == '!') g = 37;
            else if (c == '*') g = 38;
            else if (c == '-') g = 39;
            if (g >= 0)
                blit(cr, font, 16 * g, 0, 16, 16, x + 12 * double(i), y);
        }
    }

    void digits(cairo_t* cr, double x, double y, const std::string& s, bool big) const
    {
        const double w = big ? 20 : 8, h = big ? 28 : 7;
        for (size_t i = 0; i < s.size(); i++)
            if (s[i] >= '0' && s[i] <= '9')
                blit(cr, big ? "numbers.bmp" : "smallnums.bmp", w * (s[i] - '0'), 0, w, h, x + w * double(i), y);
    }

    std::map<std::string, Picture> pictures;
    std::vector<Picture> masks;
};

void caption(cairo_t* cr, double x, double y, const std::string& s)
{
    useFace(cr, Face::Body, 11);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.9);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
}

void heading(cairo_t* cr, double x, double y, const std::string& s)
{
    useFace(cr, Face::TitleBold, 22);
    cairo_set_source_rgb(cr, 1, 0.8, 0.4);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
}

void checker(cairo_t* cr, double x, double y, double w, double h)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0.36, 0.36, 0.4);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.46, 0.46, 0.5);
    for (int j = 0; j * 8 < h; j++)
        for (int i = j % 2; i * 8 < w; i += 2)
            cairo_rectangle(cr, x + i * 8, y + j * 8, 8, 8);
    cairo_fill(cr);
    cairo_restore(cr);
}

// How players with a dichromacy see a colour: the matrices of Machado,
// Oliveira and Fernandes (2009) at full severity, applied in linear light.
struct Simulation {
    const char* name;
    double m[3][3];
};
const Simulation kSimulations[3] = {
    {"protanopia", {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}},
    {"deuteranopia", {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}},
    {"tritanopia", {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}},
};

// Rewrites every pixel of an RGB24 surface as the simulation sees it.
void simulate(cairo_surface_t* surface, const Simulation& sim)
{
    static double toLinear[256];
    if (toLinear[255] == 0)
        for (int i = 0; i < 256; i++) {
            const double v = i / 255.0;
            toLinear[i] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
    auto toSrgb = [](double v) {
        v = std::clamp(v, 0.0, 1.0);
        return int(std::lround(255 * (v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055)));
    };
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < cairo_image_surface_get_height(surface); y++) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < cairo_image_surface_get_width(surface); x++) {
            const uint32_t v = row[x];
            const double in[3] = {toLinear[v >> 16 & 255], toLinear[v >> 8 & 255], toLinear[v & 255]};
            int out[3];
            for (int i = 0; i < 3; i++)
                out[i] = toSrgb(sim.m[i][0] * in[0] + sim.m[i][1] * in[1] + sim.m[i][2] * in[2]);
            row[x] = uint32_t(out[0]) << 16 | uint32_t(out[1]) << 8 | uint32_t(out[2]);
        }
    }
    cairo_surface_mark_dirty(surface);
}

// The menu as Part of the title screen draws it: page 0, 1 or 2.
void menuMock(const Sheet& s, cairo_t* cr, double ox, double oy, int page)
{
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    if (page == 1) {
        s.blit(cr, "credits.bmp", 0, 0, 640, 229, 0, 251);
    } else if (page == 2) {
        s.blit(cr, "bottom.bmp", 0, 0, 640, 229, 0, 251);
        s.text(cr, 46, 270, "Rank");
        s.text(cr, 128, 270, "Player");
        s.text(cr, 534, 270, "Score");
        const char* names[9] = {"Ada", "Linus", "Grace", "Tessa", "Alan", "Edsger", "Barbara", "Ken", "Dennis"};
        for (int i = 0; i < 9; i++) {
            const int y = 302 + 16 * i;
            const int sway = int(std::sin(0.2 * (i + 1.3)) * (i + 2));
            char score[16];
            std::snprintf(score, sizeof score, "%06i", 90000 - 9000 * i);
            s.text(cr, sway + 64, y, std::to_string(i + 1));
            if (i == 3)
                s.text(cr, sway + 112, y, "-");
            s.text(cr, sway + 128, y, names[i]);
            s.text(cr, sway + 528, y, score);
        }
        s.text(cr, 0, 465, "reset f1");
    } else {
        const char* items[4] = {"play.bmp", "scores.bmp", "about.bmp", "exit.bmp"};
        const int ys[4] = {251, 294, 336, 378};
        const int hs[4] = {43, 42, 42, 42};
        for (int i = 0; i < 4; i++)
            s.blit(cr, (i == 1 ? std::string("s") : std::string()) + items[i], 0, 0, 640, hs[i], 0, ys[i]);
        s.blit(cr, "copyright.bmp", 0, 0, 640, 60, 0, 420);
    }
    s.blit(cr, "title.bmp", 0, 0, 640, 251, 0, 0);
    s.blit(cr, "mouse.bmp", 0, 0, 32, 32, 350, page == 0 ? 312 : 400, 150 / 255.0);
    cairo_restore(cr);
}

// One game frame of the given theme with an overlay: 0 a bonus banner,
// 1 the won message, 2 name entry, 3 game over.
void gameMock(const Sheet& s, cairo_t* cr, double ox, double oy, int theme, int overlay)
{
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    const std::string t = "theme" + std::to_string(theme) + "/";
    s.blit(cr, t + "back.bmp", 0, 0, 480, 480, 0, 0);
    s.blit(cr, "right.bmp", 0, 0, 160, 480, 480, 0);
    // A board part way through: some columns gone at the right, holes at the top.
    const int emptyFrom = 11 + theme % 3;
    for (int r = 0; r < 15; r++) {
        for (int c = 0; c < 15; c++) {
            if (c >= emptyFrom || r < int(hashNoise(c, theme, 5) * 4) + (c > 8 ? 2 : 0))
                continue;
            int colour = int(hashNoise(c, r, theme * 7) * 3);
            // Make one group of red tiles to show the selection.
            const bool selected = c >= 2 && c <= 4 && r >= 9 && r <= 10;
            if (selected)
                colour = 0;
            std::string name = t + (selected ? "s" : "") + "rgb"[colour] + ".bmp";
            if ((c == 6 && r == 8) || (c == 1 && r == 12) || (c == 9 && r == 13))
                name = std::string("bonus/") + "rgb"[(c + r) % 3] + ".bmp";
            const int frame = int(hashNoise(c, r, 99) * 20);
            s.blit(cr, name, 32 * frame, 0, 32, 32, 32 * c, 32 * r);
        }
    }
    s.digits(cr, 550, 337, "7", true);
    s.digits(cr, 500, 277, "012480", true);
    s.digits(cr, 544, 122, "03", true);
    s.digits(cr, 544, 195, "0" + std::to_string(theme), true);
    s.digits(cr, 586, 264, " 2480", false);
    if (overlay == 0) {
        s.digits(cr, 120 + 10, 330 - 4, "18", false);
        s.blit(cr, "mouse.bmp", 0, 0, 32, 32, 120, 330, 150 / 255.0);
        s.blit(cr, "bonus2x.bmp", 0, 0, 256, 64, 112, 210);
    } else if (overlay == 1) {
        s.blit(cr, "wonlevel.bmp", 0, 0, 380, 128, 50, 150);
        s.blit(cr, "perfect.bmp", 0, 0, 256, 64, 112, 280);
        s.blit(cr, "bonuslife.bmp", 0, 0, 256, 64, 112, 80);
    } else if (overlay == 2) {
        s.blit(cr, "hiscore.bmp", 0, 0, 380, 128, 50, 150);
        s.text(cr, 71, 251, "Player One");
        s.text(cr, 71 + 12 * 10, 251, "-");
    } else {
        s.blit(cr, "gameover.bmp", 0, 0, 380, 128, 50, 150);
        s.blit(cr, "bonusAddLine.bmp", 0, 0, 256, 64, 112, 300);
    }
    cairo_restore(cr);
}


// One theme's tiles as the board shows them: the three colours, plain and
// selected, and the three bonus tiles at 2x, then a strip of board at 1x.
const int kSimRowWidth = 150 + 9 * 70 + 16 * 32, kSimRowHeight = 64;

void simulationRow(const Sheet& s, cairo_t* cr, double ox, double oy, int theme)
{
    const std::string t = "theme" + std::to_string(theme) + "/";
    cairo_save(cr);
    cairo_translate(cr, ox, oy);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.14);
    cairo_paint(cr);
    const char* pictures[9] = {"r", "g", "b", "sr", "sg", "sb", "r", "g", "b"};
    for (int i = 0; i < 9; i++) {
        const std::string name = (i < 6 ? t : std::string("bonus/")) + pictures[i] + ".bmp";
        cairo_save(cr);
        cairo_translate(cr, 150 + 70 * i, 0);
        cairo_scale(cr, 2, 2);
        cairo_set_source_surface(cr, s.get(name), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_rectangle(cr, 0, 0, 32, 32);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    s.blit(cr, t + "back.bmp", 0, 0, 16 * 32, 64, 150 + 9 * 70, 0);
    for (int r = 0; r < 2; r++)
        for (int c = 0; c < 16; c++) {
            int colour = int(hashNoise(c, r, theme * 13) * 3);
            const bool selected = r == 1 && c >= 3 && c <= 6;
            if (selected || (r == 0 && (c == 4 || c == 5)))
                colour = 1;
            const std::string name = (c == 10 && r == 0) ? "bonus/b.bmp" : t + (selected ? "s" : "") + "rgb"[colour] + ".bmp";
            const int frame = int(hashNoise(c, r, 31) * 20);
            s.blit(cr, name, 32 * frame, 0, 32, 32, 150 + 9 * 70 + 32 * c, 32 * r);
        }
    cairo_restore(cr);
}

}  // namespace

void writeContactSheet(const std::string& path, const std::vector<Member>& members)
{
    const Sheet s(members);
    const int width = 1328, margin = 16;

    // Lay out first to learn the height, then draw.
    struct Placed { std::string name; double x, y; };
    std::vector<Placed> placed;
    double y = margin + 30 + 4 * (480 + 40) + 30;
    double x = margin, rowHeight = 0;
    for (const auto& p : s.pictures) {
        const int w = cairo_image_surface_get_width(p.second.get());
        const int h = cairo_image_surface_get_height(p.second.get());
        if (x + w > width - margin) {
            x = margin;
            y += rowHeight + 24;
            rowHeight = 0;
        }
        placed.push_back(Placed{p.first, x, y});
        x += w + margin;
        rowHeight = std::max<double>(rowHeight, h);
    }
    y += rowHeight + 24 + 30;
    const double zoomTop = y;
    const int zoom = 3, cell = 32 * zoom + 8;
    const int tilesPerRow = (width - 2 * margin) / cell;
    std::vector<std::string> strips;
    for (int theme = 1; theme <= 4; theme++)
        for (const char* n : {"r", "g", "b", "sr", "sg", "sb"})
            strips.push_back("theme" + std::to_string(theme) + "/" + n + ".bmp");
    for (const char* n : {"r", "g", "b", "sr", "sg", "sb"})
        strips.push_back(std::string("bonus/") + n + ".bmp");
    const int zoomRows = int((strips.size() * 2 + tilesPerRow - 1) / tilesPerRow);
    const double simTop = zoomTop + zoomRows * (cell + 16) + 30;
    const int simRows = 3 * 4;
    const double masksTop = simTop + simRows * (kSimRowHeight + 12) + 30;
    const int maskW = 240, maskH = 180, masksPerRow = (width - margin) / (maskW + margin);
    const int maskRows = int((s.masks.size() + masksPerRow - 1) / masksPerRow);
    const int height = int(masksTop + maskRows * (maskH + 24) + margin);

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.14);
    cairo_paint(cr);

    heading(cr, margin, margin + 20, "Screens, composed as the game draws them");
    const double top = margin + 30;
    for (int i = 0; i < 8; i++) {
        const double mx = margin + (i % 2) * (640 + margin);
        const double my = top + (i / 2) * (480 + 40);
        if (i < 3)
            menuMock(s, cr, mx, my, i);
        else if (i < 7)
            gameMock(s, cr, mx, my, i - 2, i - 3);
        else
            gameMock(s, cr, mx, my, 3, 0);
        const char* captions[8] = {"title: main page, SCORES under the pointer", "title: about page",
                                   "title: score board", "theme 1, glass orbs: bonus banner",
                                   "theme 2, cut gems: board cleared", "theme 3, candy: name entry",
                                   "theme 4, metal studs: game over", "theme 3, candy: play"};
        caption(cr, mx, my + 480 + 16, captions[i]);
    }

    heading(cr, margin, top + 4 * (480 + 40) + 20, "Every picture (keyed ones over a checkerboard)");
    for (const Placed& p : placed) {
        cairo_surface_t* pic = s.get(p.name);
        const int w = cairo_image_surface_get_width(pic), h = cairo_image_surface_get_height(pic);
        if (keyed(p.name))
            checker(cr, p.x, p.y, w, h);
        cairo_set_source_surface(cr, pic, p.x, p.y);
        cairo_paint(cr);
        char size[32];
        std::snprintf(size, sizeof size, "  %dx%d", w, h);
        caption(cr, p.x, p.y + h + 14, p.name + size);
    }

    heading(cr, margin, zoomTop - 10, "Tiles at 3x: frames 0 and 10 of every strip");
    for (size_t i = 0; i < strips.size() * 2; i++) {
        const double tx = margin + (i % tilesPerRow) * cell;
        const double ty = zoomTop + (i / tilesPerRow) * (cell + 16);
        const int frame = (i % 2) ? 10 : 0;
        checker(cr, tx, ty, 32 * zoom, 32 * zoom);
        cairo_save(cr);
        cairo_rectangle(cr, tx, ty, 32 * zoom, 32 * zoom);
        cairo_clip(cr);
        cairo_translate(cr, tx, ty);
        cairo_scale(cr, zoom, zoom);
        cairo_set_source_surface(cr, s.get(strips[i / 2]), -32 * frame, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
        if (i % 2 == 0)
            caption(cr, tx, ty + 32 * zoom + 12, strips[i / 2]);
    }

    heading(cr, margin, simTop - 10, "Tiles as players with colour blindness see them (Machado et al. 2009)");
    for (int v = 0; v < 3; v++)
        for (int theme = 1; theme <= 4; theme++) {
            const double ry = simTop + (v * 4 + theme - 1) * (kSimRowHeight + 12);
            cairo_surface_t* band = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSimRowWidth, kSimRowHeight);
            cairo_t* bc = cairo_create(band);
            simulationRow(s, bc, 0, 0, theme);
            cairo_destroy(bc);
            simulate(band, kSimulations[v]);
            cairo_set_source_surface(cr, band, margin, ry);
            cairo_paint(cr);
            cairo_surface_destroy(band);
            caption(cr, margin, ry + 28, kSimulations[v].name);
            caption(cr, margin, ry + 44, "theme " + std::to_string(theme));
        }

    heading(cr, margin, masksTop - 10, "Wipe masks wipe0.raw ... wipe9.raw (dark opens first)");
    for (size_t i = 0; i < s.masks.size(); i++) {
        const double mx = margin + (i % masksPerRow) * (maskW + margin);
        const double my = masksTop + (i / masksPerRow) * (maskH + 24);
        cairo_save(cr);
        cairo_translate(cr, mx, my);
        cairo_scale(cr, maskW / 320.0, maskH / 240.0);
        cairo_set_source_surface(cr, s.masks[i].get(), 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
        caption(cr, mx, my + maskH + 14, "wipe" + std::to_string(i) + ".raw");
    }

    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path);
}
