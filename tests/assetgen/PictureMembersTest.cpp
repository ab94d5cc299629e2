// The pictures and wipe masks of the generated data.pak: present, readable
// by SDL, big enough, keyed where the game keys them, and laid out for the
// places the game draws them.
#include "PictureArchiveTest.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace pak_test;

namespace {

struct PictureSpec {
    std::string name;
    int width, height;
    bool keyed;
};

std::vector<PictureSpec> allPictures()
{
    std::vector<PictureSpec> p = {
        {"icon.bmp", 32, 32, false},       {"logo.bmp", 640, 480, false},
        {"logo1.bmp", 640, 480, false},    {"logo2.bmp", 640, 480, false},
        {"mouse.bmp", 32, 32, true},       {"font.bmp", 640, 16, true},
        {"numbers.bmp", 200, 28, true},    {"smallnums.bmp", 80, 7, true},
        {"title.bmp", 640, 251, false},    {"play.bmp", 640, 43, false},
        {"splay.bmp", 640, 43, false},     {"scores.bmp", 640, 42, false},
        {"sscores.bmp", 640, 42, false},   {"about.bmp", 640, 42, false},
        {"sabout.bmp", 640, 42, false},    {"exit.bmp", 640, 42, false},
        {"sexit.bmp", 640, 42, false},     {"copyright.bmp", 640, 60, false},
        {"bottom.bmp", 640, 229, false},   {"credits.bmp", 640, 229, false},
        {"right.bmp", 160, 480, false},
    };
    for (const char* m : {"gameover.bmp", "hiscore.bmp", "loselevel.bmp", "wonlevel.bmp", "wongame.bmp"})
        p.push_back({m, 380, 128, true});
    for (const char* m : {"perfect.bmp", "bonuslife.bmp", "bonus2x.bmp", "bonusAddLine.bmp", "bonus1000.bmp",
                          "bonus500.bmp", "5000.bmp"})
        p.push_back({m, 256, 64, true});
    for (int t = 1; t <= 4; t++)
        p.push_back({"theme" + std::to_string(t) + "/back.bmp", 480, 480, false});
    return p;
}

std::vector<std::string> tileStrips()
{
    std::vector<std::string> names;
    for (int t = 1; t <= 4; t++)
        for (const char* c : {"r", "g", "b", "sr", "sg", "sb"})
            names.push_back("theme" + std::to_string(t) + "/" + c + ".bmp");
    for (const char* c : {"r", "g", "b", "sr", "sg", "sb"})
        names.push_back(std::string("bonus/") + c + ".bmp");
    return names;
}

struct FreeSurface {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Picture = std::unique_ptr<SDL_Surface, FreeSurface>;

Picture load(const std::string& name)
{
    return Picture(decodePicture(readMember(testing_support::dataPakPath(), name)));
}

int luminance(Uint32 v) { return (((v >> 16) & 255) * 3 + ((v >> 8) & 255) * 6 + (v & 255)) / 10; }

// Black pixels inside the rectangle that cannot reach its border through
// other black pixels: holes in an opaque shape, where the board would show
// through by mistake.
int enclosedBlack(SDL_Surface* s, int x0, int y0, int w, int h)
{
    std::vector<char> seen(size_t(w) * h, 0);
    std::vector<std::pair<int, int>> stack;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if ((x == 0 || y == 0 || x == w - 1 || y == h - 1) && pixelAt(s, x0 + x, y0 + y) == 0) {
                seen[y * w + x] = 1;
                stack.push_back({x, y});
            }
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        const int nx[4] = {x + 1, x - 1, x, x};
        const int ny[4] = {y, y, y + 1, y - 1};
        for (int i = 0; i < 4; i++) {
            if (nx[i] < 0 || ny[i] < 0 || nx[i] >= w || ny[i] >= h || seen[ny[i] * w + nx[i]])
                continue;
            if (pixelAt(s, x0 + nx[i], y0 + ny[i]) == 0) {
                seen[ny[i] * w + nx[i]] = 1;
                stack.push_back({nx[i], ny[i]});
            }
        }
    }
    int holes = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            holes += pixelAt(s, x0 + x, y0 + y) == 0 && !seen[y * w + x];
    return holes;
}

int inkIn(SDL_Surface* s, int x0, int y0, int w, int h)
{
    int ink = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            ink += pixelAt(s, x, y) != 0;
    return ink;
}

double meanLuminance(SDL_Surface* s, int x0, int y0, int w, int h)
{
    double sum = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            sum += luminance(pixelAt(s, x, y));
    return sum / (w * h);
}

// Mean absolute channel difference between two 32 x 32 frames.
double frameDistance(SDL_Surface* s, int a, int b)
{
    double sum = 0;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            const Uint32 p = pixelAt(s, 32 * a + x, y), q = pixelAt(s, 32 * b + x, y);
            for (int shift = 0; shift <= 16; shift += 8)
                sum += std::abs(int((p >> shift) & 255) - int((q >> shift) & 255));
        }
    return sum / (32 * 32 * 3);
}

class PictureMembers : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(testing_support::fileExists(testing_support::dataPakPath())); }
};

TEST_F(PictureMembers, EveryPictureDecodesWithSdlAtLeastAtItsSize)
{
    std::vector<PictureSpec> specs = allPictures();
    for (const std::string& strip : tileStrips())
        specs.push_back({strip, 640, 32, true});
    for (const PictureSpec& spec : specs) {
        Picture p = load(spec.name);
        ASSERT_TRUE(p) << spec.name << " is missing or unreadable";
        EXPECT_GE(p->w, spec.width) << spec.name;
        EXPECT_GE(p->h, spec.height) << spec.name;
    }
}

TEST_F(PictureMembers, KeyedPicturesKeepTheirOpaquePixelsOnSixteenBitScreens)
{
    // Keyed pictures: every pixel that is not the key must stay visible on a
    // 16-bit screen too, where the low bits of each channel are dropped.
    std::vector<std::string> keyed = tileStrips();
    for (const PictureSpec& spec : allPictures())
        if (spec.keyed)
            keyed.push_back(spec.name);
    for (const std::string& name : keyed) {
        Picture p = load(name);
        ASSERT_TRUE(p) << name;
        int vanishing = 0, transparent = 0;
        for (int y = 0; y < p->h; y++)
            for (int x = 0; x < p->w; x++) {
                const Uint32 v = pixelAt(p.get(), x, y);
                if (v == 0) {
                    transparent++;
                    continue;
                }
                const Uint32 r5 = v >> 19 & 31, g6 = v >> 10 & 63, b5 = v >> 3 & 31;
                vanishing += (r5 | g6 | b5) == 0;
            }
        EXPECT_EQ(vanishing, 0) << name << " has near-black pixels that a 16-bit screen would key out";
        EXPECT_GT(transparent, 0) << name << " has no transparent pixel at all";
    }
}

TEST_F(PictureMembers, TileFramesAreTransparentAtTheCornersAndSolidInside)
{
    for (const std::string& name : tileStrips()) {
        Picture p = load(name);
        ASSERT_TRUE(p) << name;
        for (int f = 0; f < 20; f++) {
            const int x = 32 * f;
            EXPECT_EQ(pixelAt(p.get(), x, 0), 0u) << name << " frame " << f;
            EXPECT_EQ(pixelAt(p.get(), x + 31, 0), 0u) << name << " frame " << f;
            EXPECT_EQ(pixelAt(p.get(), x, 31), 0u) << name << " frame " << f;
            EXPECT_EQ(pixelAt(p.get(), x + 31, 31), 0u) << name << " frame " << f;
            EXPECT_GT(inkIn(p.get(), x, 0, 32, 32), 32 * 32 * 6 / 10) << name << " frame " << f;
            EXPECT_EQ(enclosedBlack(p.get(), x, 0, 32, 32), 0) << name << " frame " << f;
        }
    }
}

TEST_F(PictureMembers, TilesAnimateAndLoopSmoothly)
{
    for (const std::string& name : tileStrips()) {
        Picture p = load(name);
        ASSERT_TRUE(p) << name;
        double largestStep = 0, total = 0;
        for (int f = 0; f < 19; f++) {
            const double d = frameDistance(p.get(), f, f + 1);
            largestStep = std::max(largestStep, d);
            total += d;
        }
        EXPECT_GT(total, 1.0) << name << " does not animate";
        // The jump from the last frame back to the first is no rougher than
        // the steps inside the cycle.
        EXPECT_LE(frameDistance(p.get(), 19, 0), largestStep * 1.25 + 0.5) << name;
    }
}

TEST_F(PictureMembers, SelectedTilesAreBrighterThanTheirPlainOnes)
{
    for (const std::string& group : {std::string("theme1/"), std::string("theme2/"), std::string("theme3/"),
                                     std::string("theme4/"), std::string("bonus/")}) {
        for (const char* colour : {"r", "g", "b"}) {
            Picture plain = load(group + colour + ".bmp");
            Picture selected = load(group + "s" + colour + ".bmp");
            ASSERT_TRUE(plain && selected) << group << colour;
            EXPECT_GT(meanLuminance(selected.get(), 0, 0, 640, 32), meanLuminance(plain.get(), 0, 0, 640, 32) + 15)
                << group << colour;
        }
    }
}

TEST_F(PictureMembers, MessagesBannersAndPointerHaveNoHolesInTheirShape)
{
    std::vector<std::string> names = {"mouse.bmp"};
    for (const PictureSpec& spec : allPictures())
        if (spec.keyed && (spec.width == 380 || spec.width == 256))
            names.push_back(spec.name);
    for (const std::string& name : names) {
        Picture p = load(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(pixelAt(p.get(), 0, p->h - 1), 0u) << name << " should be transparent at its corner";
        EXPECT_EQ(enclosedBlack(p.get(), 0, 0, p->w, p->h), 0) << name;
    }
    // The pointer's hot spot is its top left pixel, so the tip is drawn there.
    Picture mouse = load("mouse.bmp");
    EXPECT_NE(pixelAt(mouse.get(), 0, 0), 0u);
    EXPECT_EQ(pixelAt(mouse.get(), 31, 0), 0u);
}

TEST_F(PictureMembers, EveryGlyphAndDigitCellCarriesInk)
{
    Picture font = load("font.bmp");
    ASSERT_TRUE(font);
    for (int g = 0; g < 40; g++) {
        EXPECT_GE(inkIn(font.get(), 16 * g, 0, 16, 16), 10) << "glyph " << g;
        // Glyphs are drawn 12 px apart; ink beyond x 13 would run into the next.
        EXPECT_EQ(inkIn(font.get(), 16 * g + 14, 0, 2, 16), 0) << "glyph " << g;
    }
    Picture big = load("numbers.bmp");
    Picture small = load("smallnums.bmp");
    ASSERT_TRUE(big && small);
    for (int d = 0; d < 10; d++) {
        EXPECT_GE(inkIn(big.get(), 20 * d, 0, 20, 28), 60) << "big digit " << d;
        EXPECT_GE(inkIn(small.get(), 8 * d, 0, 8, 7), 8) << "small digit " << d;
    }
    // No two small digits may look the same.
    for (int a = 0; a < 10; a++)
        for (int b = a + 1; b < 10; b++) {
            int differ = 0;
            for (int y = 0; y < 7; y++)
                for (int x = 0; x < 8; x++)
                    differ += pixelAt(small.get(), 8 * a + x, y) != pixelAt(small.get(), 8 * b + x, y);
            EXPECT_GT(differ, 2) << "small digits " << a << " and " << b;
        }
}

TEST_F(PictureMembers, CountersAndNameFieldSitOnDarkOpaqueWells)
{
    // The yellow digits and font need a dark ground where the game writes:
    // rectangles in the panel's own coordinates (screen x minus 480).
    Picture panel = load("right.bmp");
    ASSERT_TRUE(panel);
    const struct { const char* what; int x, y, w, h; } wells[] = {
        {"lives", 64, 122, 40, 28}, {"level", 64, 195, 40, 28}, {"score", 20, 277, 120, 28},
        {"board points", 106, 264, 40, 7}, {"idle seconds", 70, 337, 40, 28},
    };
    for (const auto& w : wells)
        EXPECT_LT(meanLuminance(panel.get(), w.x, w.y, w.w, w.h), 40) << w.what;
    // The score's frame closes inside the panel: on its middle row, a lit rim
    // lies between the sixth digit's end (x 140) and the panel's edge.
    int rim = 0;
    for (int x = 140; x < 160; x++)
        rim = std::max(rim, luminance(pixelAt(panel.get(), x, 291)));
    EXPECT_GT(rim, meanLuminance(panel.get(), 20, 277, 120, 28) + 25) << "the score's frame";

    // The name is typed at (21, 101) of hiscore.bmp, 16 px high, up to 330 wide.
    Picture hiscore = load("hiscore.bmp");
    ASSERT_TRUE(hiscore);
    EXPECT_EQ(inkIn(hiscore.get(), 21, 101, 330, 16), 330 * 16) << "the field must be opaque";
    EXPECT_LT(meanLuminance(hiscore.get(), 21, 101, 330, 16), 40);
}

TEST_F(PictureMembers, MenuBandsJoinWithoutSeams)
{
    // Title, items and footer are drawn one under the other; neighbouring
    // rows across each join should differ no more than rows inside a band.
    const struct { const char* upper; int upperRow; const char* lower; } joins[] = {
        {"title.bmp", 250, "play.bmp"},   {"play.bmp", 42, "scores.bmp"}, {"scores.bmp", 41, "about.bmp"},
        {"about.bmp", 41, "exit.bmp"},    {"exit.bmp", 41, "copyright.bmp"}, {"title.bmp", 250, "bottom.bmp"},
        {"title.bmp", 250, "credits.bmp"},
    };
    for (const auto& j : joins) {
        Picture upper = load(j.upper), lower = load(j.lower);
        ASSERT_TRUE(upper && lower) << j.upper << " / " << j.lower;
        double across = 0, inside = 0;
        for (int x = 0; x < 640; x++) {
            across += std::abs(luminance(pixelAt(upper.get(), x, j.upperRow)) - luminance(pixelAt(lower.get(), x, 0)));
            inside += std::abs(luminance(pixelAt(lower.get(), x, 0)) - luminance(pixelAt(lower.get(), x, 1)));
        }
        EXPECT_LT(across / 640, inside / 640 + 6) << j.upper << " meets " << j.lower;
    }
}

TEST_F(PictureMembers, TheThreeColoursDifferInLightnessInEveryTheme)
{
    // Hue alone fails colour-blind players; the colours also keep apart in
    // lightness (besides their marks).
    for (int t = 1; t <= 4; t++) {
        double light[3];
        const char* colours[3] = {"r", "g", "b"};
        for (int c = 0; c < 3; c++) {
            Picture p = load("theme" + std::to_string(t) + "/" + colours[c] + ".bmp");
            ASSERT_TRUE(p);
            double sum = 0;
            int n = 0;
            for (int y = 0; y < 32; y++)
                for (int x = 0; x < 640; x++)
                    if (const Uint32 v = pixelAt(p.get(), x, y)) {
                        sum += luminance(v);
                        n++;
                    }
            light[c] = sum / n;
        }
        EXPECT_GT(std::abs(light[0] - light[1]), 12) << "theme " << t;
        EXPECT_GT(std::abs(light[1] - light[2]), 12) << "theme " << t;
        EXPECT_GT(std::abs(light[0] - light[2]), 8) << "theme " << t;
    }
}

TEST_F(PictureMembers, WipeMasksAreFullSizeDistinctAndUseTheWholeRange)
{
    std::vector<std::vector<unsigned char>> masks;
    for (int i = 0; i < 10; i++) {
        const std::string name = "wipe" + std::to_string(i) + ".raw";
        std::vector<unsigned char> mask = readMember(testing_support::dataPakPath(), name);
        ASSERT_EQ(mask.size(), 76800u) << name;
        const std::set<unsigned char> values(mask.begin(), mask.end());
        EXPECT_GE(values.size(), 200u) << name;
        EXPECT_EQ(*values.begin(), 0) << name;
        EXPECT_GE(*values.rbegin(), 250) << name;
        for (const auto& other : masks)
            EXPECT_NE(mask, other) << name << " repeats an earlier mask";
        masks.push_back(mask);
    }
}

}  // namespace
