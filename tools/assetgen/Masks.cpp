// The ten wipe masks: 320 x 240 thresholds, one per 2 x 2 block of the
// screen. A block shows the picture once the wipe level rises above its
// entry, so low entries open first.
#include "Paint.h"
#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <string>

namespace {

const int kW = 320;
const int kH = 240;

// Turns any ordering field into thresholds 0..255 by rank, so that every
// wipe uncovers the same share of the screen per level and uses the whole
// range. Entries with equal field values get equal thresholds.
std::vector<unsigned char> equalise(const std::vector<double>& field)
{
    const size_t n = field.size();
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return field[a] < field[b]; });
    std::vector<unsigned char> mask(n);
    size_t start = 0;
    for (size_t i = 0; i < n; i++) {
        if (i > 0 && field[order[i]] != field[order[i - 1]])
            start = i;
        mask[order[i]] = static_cast<unsigned char>(start * 256 / n);
    }
    return mask;
}

std::vector<unsigned char> makeMask(const std::function<double(double x, double y)>& f)
{
    std::vector<double> field(kW * kH);
    for (int y = 0; y < kH; y++)
        for (int x = 0; x < kW; x++)
            field[y * kW + x] = f(x - kW / 2.0 + 0.5, y - kH / 2.0 + 0.5);
    return equalise(field);
}

}  // namespace

void addWipeMasks(std::vector<Member>& out)
{
    std::vector<std::function<double(double, double)>> wipes;
    // 0: a circle opening from the centre.
    wipes.push_back([](double x, double y) { return std::hypot(x, y); });
    // 1: a three-armed spiral turning outwards.
    wipes.push_back([](double x, double y) {
        const double a = std::atan2(y, x) / (2 * kPi) + 0.5;
        const double r = std::hypot(x, y) / 200.0;
        return std::fmod(a * 3 + r * 2, 1.0) + r * 0.999;
    });
    // 2: a diagonal sweep from the top left, its edge slightly ragged.
    wipes.push_back([](double x, double y) { return x + y + 14 * valueNoise(x / 9, y / 9, 201); });
    // 3: Venetian blinds: twelve slats opening top down, each left to right.
    wipes.push_back([](double x, double y) {
        const int row = int(y + kH / 2);
        return (row % 20) * 1000 + x;
    });
    // 4: a diamond growing from the centre.
    wipes.push_back([](double x, double y) { return std::fabs(x) + std::fabs(y) * 4 / 3.0; });
    // 5: a clock hand sweeping from twelve o'clock.
    wipes.push_back([](double x, double y) {
        double a = std::atan2(x, -y);
        if (a < 0)
            a += 2 * kPi;
        return a + std::hypot(x, y) * 1e-4;
    });
    // 6: random 16 x 16 blocks.
    wipes.push_back([](double x, double y) {
        const int bx = int(x + kW / 2) / 16, by = int(y + kH / 2) / 16;
        return hashNoise(bx, by, 206);
    });
    // 7: an organic dissolve that burns through like paper.
    wipes.push_back([](double x, double y) { return fractalNoise(x / 40, y / 40, 207, 5); });
    // 8: barn doors opening from the middle with a wavy edge.
    wipes.push_back([](double x, double y) { return std::fabs(x) + 10 * std::sin(y / 14.0); });
    // 9: drops spreading from scattered points until they meet.
    wipes.push_back([](double x, double y) {
        double best = 1e9;
        for (int i = 0; i < 9; i++) {
            const double px = (hashNoise(i, 0, 209) - 0.5) * kW;
            const double py = (hashNoise(i, 1, 209) - 0.5) * kH;
            best = std::min(best, std::hypot(x - px, y - py));
        }
        return best;
    });
    for (size_t i = 0; i < wipes.size(); i++) {
        const std::vector<unsigned char> mask = makeMask(wipes[i]);
        out.push_back(Member{"wipe" + std::to_string(i) + ".raw", mask});
    }
}
