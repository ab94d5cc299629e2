// Colour arithmetic for judging pictures as players with and without a
// colour-vision deficiency see them: sRGB and CIELAB (D65), the dichromacy
// simulations of Machado, Oliveira and Fernandes (2009, severity 1.0, applied
// to linear RGB), the CIEDE2000 colour difference and the WCAG contrast ratio.
#pragma once

#include <algorithm>
#include <cmath>

namespace colour_vision {

struct Linear {
    double r, g, b;  // linear-light RGB, 0..1
};

struct Lab {
    double L, a, b;
};

enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia };

struct VisionInfo {
    Vision vision;
    const char* name;
    double m[3][3];  // linear RGB in, simulated linear RGB out
};

// Severity 1.0 rows of the published tables; the identity for normal vision.
inline const VisionInfo kVisions[4] = {
    {Vision::Normal, "normal", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
    {Vision::Protanopia, "protanopia",
     {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}},
    {Vision::Deuteranopia, "deuteranopia",
     {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}},
    {Vision::Tritanopia, "tritanopia",
     {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}},
};

inline double toLinear(double s)  // one sRGB channel, 0..1
{
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

inline Linear fromSrgb8(int r, int g, int b)
{
    return Linear{toLinear(r / 255.0), toLinear(g / 255.0), toLinear(b / 255.0)};
}

inline Linear simulate(const Linear& c, const VisionInfo& v)
{
    const double in[3] = {c.r, c.g, c.b};
    double out[3];
    for (int i = 0; i < 3; i++)
        out[i] = std::clamp(v.m[i][0] * in[0] + v.m[i][1] * in[1] + v.m[i][2] * in[2], 0.0, 1.0);
    return Linear{out[0], out[1], out[2]};
}

// WCAG relative luminance and contrast ratio.
inline double luminance(const Linear& c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; }
inline double contrastRatio(double y1, double y2)
{
    return (std::max(y1, y2) + 0.05) / (std::min(y1, y2) + 0.05);
}

inline Lab toLab(const Linear& c)
{
    const double x = (0.4124564 * c.r + 0.3575761 * c.g + 0.1804375 * c.b) / 0.95047;
    const double y = 0.2126729 * c.r + 0.7151522 * c.g + 0.0721750 * c.b;
    const double z = (0.0193339 * c.r + 0.1191920 * c.g + 0.9503041 * c.b) / 1.08883;
    auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    return Lab{116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

// CIEDE2000 with kL = kC = kH = 1.
inline double ciede2000(const Lab& p, const Lab& q)
{
    const double pi = 3.14159265358979323846;
    const double deg = pi / 180;
    const double c1 = std::hypot(p.a, p.b), c2 = std::hypot(q.a, q.b);
    const double cMean7 = std::pow((c1 + c2) / 2, 7);
    const double g = 0.5 * (1 - std::sqrt(cMean7 / (cMean7 + std::pow(25.0, 7))));
    const double a1 = (1 + g) * p.a, a2 = (1 + g) * q.a;
    const double cp1 = std::hypot(a1, p.b), cp2 = std::hypot(a2, q.b);
    auto hue = [&](double b, double a) {
        if (a == 0 && b == 0)
            return 0.0;
        const double h = std::atan2(b, a) / deg;
        return h < 0 ? h + 360 : h;
    };
    const double h1 = hue(p.b, a1), h2 = hue(q.b, a2);

    const double dL = q.L - p.L;
    const double dC = cp2 - cp1;
    double dh = 0;
    if (cp1 * cp2 != 0) {
        dh = h2 - h1;
        if (dh > 180)
            dh -= 360;
        else if (dh < -180)
            dh += 360;
    }
    const double dH = 2 * std::sqrt(cp1 * cp2) * std::sin(dh / 2 * deg);

    const double lMean = (p.L + q.L) / 2;
    const double cpMean = (cp1 + cp2) / 2;
    double hMean = h1 + h2;
    if (cp1 * cp2 != 0) {
        if (std::fabs(h1 - h2) <= 180)
            hMean = (h1 + h2) / 2;
        else
            hMean = (h1 + h2 < 360) ? (h1 + h2 + 360) / 2 : (h1 + h2 - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos((hMean - 30) * deg) + 0.24 * std::cos(2 * hMean * deg) +
                     0.32 * std::cos((3 * hMean + 6) * deg) - 0.20 * std::cos((4 * hMean - 63) * deg);
    const double dTheta = 30 * std::exp(-std::pow((hMean - 275) / 25, 2));
    const double cpMean7 = std::pow(cpMean, 7);
    const double rc = 2 * std::sqrt(cpMean7 / (cpMean7 + std::pow(25.0, 7)));
    const double sl = 1 + 0.015 * std::pow(lMean - 50, 2) / std::sqrt(20 + std::pow(lMean - 50, 2));
    const double sc = 1 + 0.045 * cpMean;
    const double sh = 1 + 0.015 * cpMean * t;
    const double rt = -std::sin(2 * dTheta * deg) * rc;
    return std::sqrt(std::pow(dL / sl, 2) + std::pow(dC / sc, 2) + std::pow(dH / sh, 2) +
                     rt * (dC / sc) * (dH / sh));
}

}  // namespace colour_vision
