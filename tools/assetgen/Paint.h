// Small drawing helpers shared by every picture: colours, shapes, outlined
// text in the game's two typefaces, and deterministic noise.
#pragma once

#include <cairo.h>

#include <initializer_list>
#include <string>

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t);    // t = 0 gives a, 1 gives b
Rgb lighten(Rgb c, double t);       // towards white
Rgb darken(Rgb c, double t);        // towards black
Rgb rgb255(int r, int g, int b);
void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0);

// Fills the current path (keeping it when preserve is set) with a linear
// gradient from (x0, y0) to (x1, y1) through the stops.
struct Stop {
    double offset;
    Rgb colour;
    double alpha = 1.0;
};
void fillLinear(cairo_t* cr, double x0, double y0, double x1, double y1,
                std::initializer_list<Stop> stops, bool preserve = false);

// A white sheen over the current path, fading from topAlpha at y0 to
// bottomAlpha at y1: the gloss on glass, sweets and lettering.
void fillSheen(cairo_t* cr, double y0, double y1, double topAlpha, double bottomAlpha);

// A band of colour across the line from (x0, y0) to (x1, y1), clear at both
// ends and at `alpha` halfway: fillBand fills the current path with it,
// paintBand the whole clip (a stroke of light passing over a face).
void fillBand(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb c, double alpha);
void paintBand(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb c, double alpha);

// A closed path through the corners, in order.
struct Point {
    double x, y;
};
void polygonPath(cairo_t* cr, std::initializer_list<Point> corners);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void regularPolygon(cairo_t* cr, double cx, double cy, double radius, int sides, double rotation);
void starPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double rotation);

// Typefaces: League Spartan for titles, DejaVu Sans for small print.
enum class Face { TitleBlack, TitleBold, Body, BodyBold };
void useFace(cairo_t* cr, Face face, double size);

// Width of a text's ink at the current face and size.
double textWidth(cairo_t* cr, const std::string& text);

// Text with an outline and a vertical gradient from `top` to `bottom`,
// its baseline at y; `anchor` 0 puts x at the left, 0.5 at the centre.
// A style can be written as one row: face, size, top, bottom, outline, width.
struct TextStyle {
    Face face = Face::TitleBlack;
    double size = 32;
    Rgb top{1, 1, 1};
    Rgb bottom{0.8, 0.8, 0.8};
    Rgb outline{0.06, 0.03, 0.1};
    double outlineWidth = 3;
    double shadow = 0;          // drop-shadow offset in pixels, 0 for none
    double shadowAlpha = 0.6;
    double glow = 0;            // soft coloured halo radius, 0 for none
    Rgb glowColour{1, 0.8, 0.3};
};
void drawText(cairo_t* cr, const std::string& text, double x, double y, double anchor, const TextStyle& style);

// Deterministic value noise in 0..1, smooth, with integer seeds.
double hashNoise(int x, int y, int seed);
double valueNoise(double x, double y, int seed);
double fractalNoise(double x, double y, int seed, int octaves);

// Fill the current clip with a fine film grain to keep large gradients from banding.
void grain(cairo_t* cr, int width, int height, int seed, double strength);

// A soft blurred disc of light, used for glows and vignettes.
void glowSpot(cairo_t* cr, double cx, double cy, double radius, Rgb c, double alpha);

constexpr double kPi = 3.14159265358979323846;
