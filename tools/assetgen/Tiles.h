// The tiles: three colours in four themes, and the three bonus tiles.
#pragma once

#include "Canvas.h"
#include "Paint.h"

#include <vector>

// Base colour of tile colour 0..2 (red, green, blue) in theme 1..4.
Rgb tileColour(int theme, int colour);

// Draws one 32 x 32 tile with its top left corner at the current origin.
// phase runs from 0 to 1 over the 20 animation frames and wraps smoothly.
void drawTile(cairo_t* cr, int theme, int colour, double phase, bool selected);
void drawBonusTile(cairo_t* cr, int colour, double phase, bool selected);

// The colour's own mark (circle, triangle, diamond) as a path, so that the
// three colours differ by shape as well as by hue.
void markPath(cairo_t* cr, int colour, double cx, double cy, double size);

// theme%i/r.bmp ... theme%i/sb.bmp and bonus/r.bmp ... bonus/sb.bmp.
void addTileStrips(std::vector<Member>& out);
