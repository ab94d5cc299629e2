// A cairo drawing surface that becomes one BMP member of data.pak.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

struct Member {
    std::string name;                  // as stored in the archive
    std::vector<unsigned char> bytes;  // the whole file
};

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return w; }
    int height() const { return h; }
    cairo_t* cr() const { return context; }
    cairo_surface_t* surface() const { return image; }

    // Copies another canvas onto this one at (x, y), blending by its alpha.
    void paste(const Canvas& other, double x, double y);

    // Prepares a picture for a colour key of black: pixels that are mostly
    // transparent become pure black, the rest become opaque by laying them
    // over `edge` (so an anti-aliased rim fades into a dark outline rather
    // than into the key), and no opaque pixel is left dark enough to be
    // mistaken for the key, even after conversion to a 16-bit screen.
    void flattenForKey(double edgeR, double edgeG, double edgeB);

    // Lays every pixel over black, so the picture is fully opaque.
    void flattenOpaque();

    // The picture as a 24-bit BMP, written by SDL's own writer.
    std::vector<unsigned char> toBmp() const;
    Member member(const std::string& name) const { return Member{name, toBmp()}; }

    // Straight (not premultiplied) colour of one pixel.
    void pixel(int x, int y, int& r, int& g, int& b, int& a) const;

private:
    int w;
    int h;
    cairo_surface_t* image;
    cairo_t* context;
};
