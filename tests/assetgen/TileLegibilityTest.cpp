// Can every player tell the three tile colours apart? For every theme, every
// animation frame, plain, selected and bonus tiles: the mean colours stay far
// apart under normal vision and three dichromacy simulations, and in grey;
// and each colour's mark (circle, triangle, diamond) is big and contrasting
// enough that its shape alone names the colour. The figures are printed.
#include "ColourVision.h"
#include "PictureArchiveTest.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace colour_vision;
using namespace pak_test;

namespace {

const int kFrames = 20;
const double kMinDeltaE = 15, kMinDeltaL = 10, kMinSpan = 12, kMinContrast = 3;

TEST(ColourVision, AgreesWithPublishedReferenceFigures)
{
    // CIEDE2000 pairs from Sharma, Wu and Dalal (2005), including those
    // that probe the hue-angle wrap.
    const struct { Lab p, q; double dE; } pairs[] = {
        {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},
        {{50, 3.1571, -77.2803}, {50, 0, -82.7485}, 2.8615},
        {{50, 0, 0}, {50, -1, 2}, 2.3669},
        {{50, 2.49, -0.001}, {50, -2.49, 0.0009}, 7.1792},
        {{50, 2.49, -0.001}, {50, -2.49, 0.0011}, 7.2195},
        {{50, -0.001, 2.49}, {50, 0.0009, -2.49}, 4.8045},
        {{50, -0.001, 2.49}, {50, 0.0011, -2.49}, 4.7461},
        {{50, 2.5, 0}, {73, 25, -18}, 27.1492},
        {{50, 2.5, 0}, {61, -5, 29}, 22.8977},
        {{50, 2.5, 0}, {56, -27, -3}, 31.9030},
        {{50, 2.5, 0}, {58, 24, 15}, 19.4535},
        {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
        {{22.7233, 20.0904, -46.694}, {23.0331, 14.973, -42.5619}, 2.0373},
        {{36.4612, 47.858, 18.3852}, {36.2715, 50.5065, 21.2231}, 1.4146},
    };
    for (const auto& c : pairs) {
        EXPECT_NEAR(ciede2000(c.p, c.q), c.dE, 1e-4) << c.p.L << " " << c.p.a << " " << c.p.b;
        EXPECT_NEAR(ciede2000(c.q, c.p), c.dE, 1e-4) << "reversed";
    }

    const struct { int r, g, b; Lab lab; } srgb[] = {
        {255, 255, 255, {100, 0, 0}},          {255, 0, 0, {53.24, 80.09, 67.20}},
        {0, 255, 0, {87.73, -86.18, 83.18}},   {0, 0, 255, {32.30, 79.19, -107.86}},
        {119, 119, 119, {50.03, 0, 0}},        {0, 0, 0, {0, 0, 0}},
    };
    for (const auto& c : srgb) {
        const Lab lab = toLab(fromSrgb8(c.r, c.g, c.b));
        EXPECT_NEAR(lab.L, c.lab.L, 0.05) << c.r << "," << c.g << "," << c.b;
        EXPECT_NEAR(lab.a, c.lab.a, 0.05) << c.r << "," << c.g << "," << c.b;
        EXPECT_NEAR(lab.b, c.lab.b, 0.05) << c.r << "," << c.g << "," << c.b;
    }

    // Every simulation keeps greys grey (each row of its matrix sums to one),
    // and the red-green ones lose the difference between red and green.
    for (const VisionInfo& v : kVisions)
        for (double grey : {0.0, 0.2, 1.0}) {
            const Linear s = simulate(Linear{grey, grey, grey}, v);
            EXPECT_NEAR(s.r, grey, 1e-5) << v.name;
            EXPECT_NEAR(s.g, grey, 1e-5) << v.name;
            EXPECT_NEAR(s.b, grey, 1e-5) << v.name;
        }
    const Lab red = toLab(fromSrgb8(200, 60, 50)), olive = toLab(fromSrgb8(120, 120, 40));
    EXPECT_GT(ciede2000(red, olive), 30);
    EXPECT_LT(ciede2000(toLab(simulate(fromSrgb8(200, 60, 50), kVisions[2])),
                        toLab(simulate(fromSrgb8(120, 120, 40), kVisions[2]))), 10);
}

struct FreeSurface {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

// One 32 x 32 frame: its pixels in linear light and which are opaque
// (not the black colour key).
struct Frame {
    std::array<double, 32 * 32> luma;  // relative luminance
    std::array<bool, 32 * 32> opaque;
    Linear mean;
};

std::vector<Frame> loadFrames(const std::string& name)
{
    std::unique_ptr<SDL_Surface, FreeSurface> s(decodePicture(readMember(testing_support::dataPakPath(), name)));
    std::vector<Frame> frames;
    if (!s || s->w < 32 * kFrames || s->h < 32)
        return frames;
    for (int f = 0; f < kFrames; f++) {
        Frame fr{};
        double sum[3] = {0, 0, 0};
        int n = 0;
        for (int y = 0; y < 32; y++)
            for (int x = 0; x < 32; x++) {
                const Uint32 v = pixelAt(s.get(), 32 * f + x, y);
                const Linear c = fromSrgb8(v >> 16 & 255, v >> 8 & 255, v & 255);
                fr.luma[y * 32 + x] = luminance(c);
                fr.opaque[y * 32 + x] = v != 0;
                if (v != 0) {
                    sum[0] += c.r, sum[1] += c.g, sum[2] += c.b;
                    n++;
                }
            }
        fr.mean = n ? Linear{sum[0] / n, sum[1] / n, sum[2] / n} : Linear{0, 0, 0};
        frames.push_back(fr);
    }
    return frames;
}

// The pictures of one set of three colours that the board shows together.
struct TileSet {
    std::string label;
    std::string prefix;  // "theme1/", "theme1/s", "bonus/", ...
};

std::vector<TileSet> tileSets()
{
    std::vector<TileSet> sets;
    for (const std::string group : {"theme1", "theme2", "theme3", "theme4", "bonus"})
        for (bool selected : {false, true})
            sets.push_back({group + (selected ? " selected" : " plain"), group + "/" + (selected ? "s" : "")});
    return sets;
}

const char* const kColours[3] = {"r", "g", "b"};

class TileLegibility : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(testing_support::fileExists(testing_support::dataPakPath())); }

    // frames[colour] of one set; false when a strip is missing or too small.
    static bool load(const TileSet& set, std::array<std::vector<Frame>, 3>& frames)
    {
        for (int c = 0; c < 3; c++) {
            frames[c] = loadFrames(set.prefix + kColours[c] + ".bmp");
            if (frames[c].size() != size_t(kFrames)) {
                ADD_FAILURE() << set.prefix << kColours[c] << ".bmp is missing or too small";
                return false;
            }
        }
        return true;
    }
};

TEST_F(TileLegibility, ColoursStayApartForEveryVisionAndInGrey)
{
    std::printf("smallest CIEDE2000 between two colours, and smallest difference in L*, over 20 frames:\n"
                "%-18s %8s %8s %8s %8s %6s\n", "", "normal", "protan", "deutan", "tritan", "dL*");
    std::vector<std::string> faults;
    for (const TileSet& set : tileSets()) {
        std::array<std::vector<Frame>, 3> frames;
        if (!load(set, frames))
            return;
        double minDe[4] = {1e9, 1e9, 1e9, 1e9}, minDl = 1e9;
        for (int f = 0; f < kFrames; f++)
            for (int a = 0; a < 3; a++)
                for (int b = a + 1; b < 3; b++) {
                    for (int v = 0; v < 4; v++) {
                        const Lab la = toLab(simulate(frames[a][f].mean, kVisions[v]));
                        const Lab lb = toLab(simulate(frames[b][f].mean, kVisions[v]));
                        minDe[v] = std::min(minDe[v], ciede2000(la, lb));
                    }
                    minDl = std::min(minDl, std::fabs(toLab(frames[a][f].mean).L - toLab(frames[b][f].mean).L));
                }
        std::printf("%-18s %8.1f %8.1f %8.1f %8.1f %6.1f\n", set.label.c_str(), minDe[0], minDe[1], minDe[2],
                    minDe[3], minDl);
        for (int v = 0; v < 4; v++)
            if (minDe[v] < kMinDeltaE)
                faults.push_back(set.label + " under " + kVisions[v].name);
        if (minDl < kMinDeltaL)
            faults.push_back(set.label + " in grey");
    }
    std::fflush(stdout);
    std::string list;
    for (const std::string& f : faults)
        list += "\n  " + f;
    EXPECT_TRUE(faults.empty()) << "two colours are too close:" << list;
}

// A candidate outline of a mark: a circle, an upright triangle or a diamond
// around (cx, cy). distance() is signed, negative inside.
struct Outline {
    int shape;  // 0 circle, 1 triangle, 2 diamond
    double cx, cy, size;  // size: circle radius, polygon circumradius

    double distance(double x, double y) const
    {
        const double dx = x - cx, dy = y - cy;
        if (shape == 0)
            return std::hypot(dx, dy) - size;
        // Outward normals of the edges; the first points straight down.
        static const double h = std::sqrt(0.75), r = std::sqrt(0.5);
        static const double triangle[3][2] = {{0, 1}, {-h, -0.5}, {h, -0.5}};
        static const double diamond[4][2] = {{r, r}, {-r, r}, {-r, -r}, {r, -r}};
        double d = -1e9;
        if (shape == 1)
            for (const auto& n : triangle)
                d = std::max(d, dx * n[0] + dy * n[1]);
        else
            for (const auto& n : diamond)
                d = std::max(d, dx * n[0] + dy * n[1]);
        return d - size * (shape == 1 ? 0.5 : r);
    }
    // The smaller side of its bounding box.
    double span() const { return shape == 1 ? 1.5 * size : 2 * size; }
};

double quantile(std::vector<double>& v, double q)
{
    const size_t k = std::min(v.size() - 1, size_t(q * double(v.size())));
    std::nth_element(v.begin(), v.begin() + long(k), v.end());
    return v[k];
}

// Contrast of the mark against the tile just around it, judged on the less
// favourable quarter of each side: three quarters of the mark's pixels are
// at least this far from three quarters of the pixels around it. The band
// just inside the outline must reach it too, so that an outline larger than
// the mark does not pass for it.
double outlineContrast(const Frame& fr, const Outline& o)
{
    std::vector<double> inside, edge, around;
    const int reach = int(o.size) + 4;
    const int x0 = std::max(0, int(o.cx) - reach), x1 = std::min(32, int(o.cx) + reach);
    const int y0 = std::max(0, int(o.cy) - reach), y1 = std::min(32, int(o.cy) + reach);
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            if (!fr.opaque[y * 32 + x])
                continue;
            const double d = o.distance(x + 0.5, y + 0.5);
            if (d <= -0.5)
                inside.push_back(fr.luma[y * 32 + x]);
            if (d <= 0 && d >= -1)
                edge.push_back(fr.luma[y * 32 + x]);
            if (d >= 0.5 && d <= 2.5)
                around.push_back(fr.luma[y * 32 + x]);
        }
    if (inside.size() < 8 || edge.size() < 8 || around.size() < 8)
        return 1;
    const double in = quantile(inside, 0.5), out = quantile(around, 0.5);
    // The mark is lighter or darker than its ground: take its weak quarter.
    const bool lighter = in > out;
    const double inWeak = lighter ? quantile(inside, 0.25) : quantile(inside, 0.75);
    const double outWeak = lighter ? quantile(around, 0.75) : quantile(around, 0.25);
    const double edgeMiddle = quantile(edge, 0.5);
    if (lighter != (inWeak > outWeak) || lighter != (edgeMiddle > outWeak))
        return 1;
    return std::min(contrastRatio(inWeak, outWeak), contrastRatio(edgeMiddle, outWeak));
}

struct MarkFigures {
    double span = 0;      // largest outline span that reaches the contrast
    double contrast = 1;  // best contrast of an outline at least kMinSpan across
};

MarkFigures measureMark(const Frame& fr, int shape)
{
    // Marks sit on the tile's upright axis, a little above or below its middle.
    MarkFigures m;
    for (double cy = 15; cy <= 17.5; cy += 0.5)
        for (double span = 26; span >= 4 && (span >= kMinSpan || span > m.span); span -= 1) {
            const Outline o{shape, 16, cy, shape == 1 ? span / 1.5 : span / 2};
            const double c = outlineContrast(fr, o);
            if (c >= kMinContrast)
                m.span = std::max(m.span, span);
            if (span >= kMinSpan)
                m.contrast = std::max(m.contrast, c);
        }
    return m;
}

TEST(TileLegibilityMeasure, FindsTheSizeAndContrastOfAKnownMark)
{
    // Flat marks on a flat ground: the measure must find their size (to a
    // pixel or two) and must not be fooled by a mark too small, too faint or
    // a third washed out.
    const struct { int shape; double span, ground, mark; bool glint; double minSpan, maxSpan; bool passes; } cases[] = {
        {0, 14, 0.5, 0.02, false, 14, 15, true},
        {1, 15, 0.05, 0.6, false, 15, 17, true},
        {2, 16, 0.6, 0.05, false, 16, 17, true},
        {0, 10, 0.5, 0.02, false, 10, 11, false},   // too small
        {1, 10, 0.5, 0.02, false, 10, 11, false},
        {2, 16, 0.25, 0.07, false, 0, 0, false},    // too faint: 2.5:1
        {0, 16, 0.5, 0.02, true, 0, 16, false},     // a third of it lit up
    };
    for (const auto& c : cases) {
        Frame fr{};
        const Outline o{c.shape, 16, 16.5, c.shape == 1 ? c.span / 1.5 : c.span / 2};
        for (int y = 0; y < 32; y++)
            for (int x = 0; x < 32; x++) {
                const bool inMark = o.distance(x + 0.5, y + 0.5) <= 0;
                const bool lit = c.glint && inMark && x < 14;
                fr.opaque[y * 32 + x] = true;
                fr.luma[y * 32 + x] = lit ? 0.9 : inMark ? c.mark : c.ground;
            }
        const MarkFigures m = measureMark(fr, c.shape);
        const std::string what = std::string("shape ") + char('0' + c.shape) + " span " + std::to_string(c.span);
        EXPECT_GE(m.span, c.minSpan) << what;
        EXPECT_LE(m.span, c.maxSpan) << what;
        EXPECT_EQ(m.span >= kMinSpan && m.contrast >= kMinContrast, c.passes) << what << " contrast " << m.contrast;
    }
}

TEST_F(TileLegibility, EveryColourCarriesALargeContrastingMark)
{
    const char* shapes[3] = {"circle", "triangle", "diamond"};
    std::printf("marks, worst of 20 frames: largest span (px) at %.0f:1, best contrast at %.0f px or more:\n",
                kMinContrast, kMinSpan);
    std::vector<std::string> faults;
    for (const TileSet& set : tileSets()) {
        std::array<std::vector<Frame>, 3> frames;
        if (!load(set, frames))
            return;
        std::printf("%-18s", set.label.c_str());
        for (int c = 0; c < 3; c++) {
            MarkFigures worst{1e9, 1e9};
            for (const Frame& fr : frames[c]) {
                const MarkFigures m = measureMark(fr, c);
                worst.span = std::min(worst.span, m.span);
                worst.contrast = std::min(worst.contrast, m.contrast);
            }
            std::printf("  %-8s %4.0f %5.2f", shapes[c], worst.span, worst.contrast);
            if (worst.span < kMinSpan || worst.contrast < kMinContrast)
                faults.push_back(set.label + " " + shapes[c]);
        }
        std::printf("\n");
    }
    std::fflush(stdout);
    std::string list;
    for (const std::string& f : faults)
        list += "\n  " + f;
    EXPECT_TRUE(faults.empty()) << "marks too small or too faint:" << list;
}

}  // namespace
