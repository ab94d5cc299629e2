// Every picture of data.pak, grouped by what it belongs to. Each function
// appends its members to `out` in a fixed order.
#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

void addTextStrips(std::vector<Member>& out);     // font.bmp, numbers.bmp, smallnums.bmp
void addMessages(std::vector<Member>& out);       // the end-of-board messages and banners
void addPointer(std::vector<Member>& out);        // mouse.bmp
void addBackgrounds(std::vector<Member>& out);    // theme%i/back.bmp
void addPanel(std::vector<Member>& out);          // right.bmp
void addMenuPictures(std::vector<Member>& out);   // title, items, footer, score board, credits
void addLogos(std::vector<Member>& out);          // icon.bmp, logo.bmp, logo1.bmp, logo2.bmp

// The window icon at any size (32 for icon.bmp, 16 to 512 for the desktop),
// onto any cairo surface (the desktop's scalable icon is SVG).
void drawIcon(cairo_t* cr, double size);
inline void drawIcon(Canvas& canvas) { drawIcon(canvas.cr(), canvas.width()); }

// The desktop icons in a hicolor theme folder: <dir>/<n>x<n>/apps/tessal.png
// for every size of kDesktopIconSizes, and <dir>/scalable/apps/tessal.svg.
extern const int kDesktopIconSizes[8];
void writeDesktopIcons(const std::string& dir);

// The ten wipe masks wipe0.raw ... wipe9.raw.
void addWipeMasks(std::vector<Member>& out);
