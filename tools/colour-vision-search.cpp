// Chooses the unit colours of the colour-vision preset.
//
// Method: a greedy max-min search. The candidates are a coarse sRGB grid (every
// 17th level, 16 per channel) without near-black colours (L* below kMinL) and
// without near-white ones (L* above kMaxL, which wash out on snow maps). Each
// candidate is judged by its distance to the nearest colour already chosen,
// where the distance of two colours is the smallest CIEDE2000 over normal
// vision and the three dichromat simulations. The search starts from the Okabe
// and Ito (2008) colour-universal-design palette without its black, then
// repeatedly adds the candidate farthest from everything chosen so far until
// there are 13 colours. The palette's own closest pair (orange and reddish
// purple under tritanopia, 10.87) then bounds the result from above.
//
// The result is then given to the rows in the order of the default colours,
// so that each player keeps a colour near the one it had (Player 1 blue,
// Player 2 red and so on), and printed as initialisers for presets.cpp.
//
//   cmake --build --preset native --target colour-vision-search
//   build/native/bin/colour-vision-search
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "colorfile/color_science.h"
#include "colorfile/presets.h"

using tintmoor::colorfile::Ciede2000;
using tintmoor::colorfile::ColorTable;
using tintmoor::colorfile::DefaultScheme;
using tintmoor::colorfile::kRows;
using tintmoor::colorfile::kVisions;
using tintmoor::colorfile::Lab;
using tintmoor::colorfile::LabUnder;
using tintmoor::colorfile::MakeSight;
using tintmoor::colorfile::Rgb;
using tintmoor::colorfile::RowCaption;
using tintmoor::colorfile::SrgbToLab;

namespace {

constexpr double kMinL = 35;
constexpr double kMaxL = 92;

struct Candidate {
  Rgb rgb;
  std::array<Lab, kVisions.size()> lab;
};

Candidate Make(Rgb c) {
  Candidate k{c, {}};
  for (size_t v = 0; v < kVisions.size(); ++v) k.lab[v] = LabUnder(c, MakeSight(kVisions[v], 1));
  return k;
}

double Distance(const Candidate& x, const Candidate& y) {
  double d = INFINITY;
  for (size_t v = 0; v < kVisions.size(); ++v) d = std::min(d, Ciede2000(x.lab[v], y.lab[v]));
  return d;
}

double Worst(const std::vector<Candidate>& set) {
  double d = INFINITY;
  for (size_t i = 0; i < set.size(); ++i)
    for (size_t j = i + 1; j < set.size(); ++j) d = std::min(d, Distance(set[i], set[j]));
  return d;
}

}  // namespace

int main() {
  std::vector<Candidate> grid;
  for (int r = 0; r <= 255; r += 17)
    for (int g = 0; g <= 255; g += 17)
      for (int b = 0; b <= 255; b += 17) {
        Candidate k =
            Make({static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)});
        if (k.lab[0].L >= kMinL && k.lab[0].L <= kMaxL) grid.push_back(k);
      }

  // Okabe and Ito (2008): orange, sky blue, bluish green, yellow, blue,
  // vermillion, reddish purple (their black left out).
  const Rgb seeds[] = {{230, 159, 0}, {86, 180, 233}, {0, 158, 115},  {240, 228, 66},
                       {0, 114, 178}, {213, 94, 0},   {204, 121, 167}};
  std::vector<Candidate> chosen;
  for (Rgb s : seeds) chosen.push_back(Make(s));
  std::printf("seed palette: worst pair %.2f\n", Worst(chosen));

  while (chosen.size() < kRows) {
    const Candidate* best = nullptr;
    double bestD = -1;
    for (const Candidate& k : grid) {
      double d = INFINITY;
      for (const Candidate& c : chosen) d = std::min(d, Distance(k, c));
      if (d > bestD) bestD = d, best = &k;
    }
    chosen.push_back(*best);
    std::printf("added %3d %3d %3d at %.2f\n", best->rgb.r, best->rgb.g, best->rgb.b, bestD);
  }
  std::printf("greedy: worst pair %.2f\n", Worst(chosen));

  // Hand out the colours to the rows so that the sum of the distances to the
  // default unit colours is least (an exact search over the subsets of colours
  // used), so that players keep their hue where the palette allows it.
  const ColorTable& defaults = DefaultScheme();
  const size_t n = chosen.size();
  std::vector<double> cost(1u << n, INFINITY);
  std::vector<int> choice(1u << n, -1);
  cost[0] = 0;
  for (unsigned mask = 0; mask < (1u << n); ++mask) {
    if (cost[mask] == INFINITY) continue;
    const size_t row = static_cast<size_t>(std::popcount(mask));
    if (row == kRows) continue;
    const Lab want = SrgbToLab(defaults[row][0]);
    for (size_t i = 0; i < n; ++i) {
      if (mask & (1u << i)) continue;
      const unsigned next = mask | (1u << i);
      const double c = cost[mask] + Ciede2000(want, chosen[i].lab[0]);
      if (c < cost[next]) cost[next] = c, choice[next] = static_cast<int>(i);
    }
  }
  std::array<int, kRows> given{};
  for (unsigned mask = (1u << n) - 1; mask;) {
    const int i = choice[mask];
    given[static_cast<size_t>(std::popcount(mask)) - 1] = i;
    mask &= ~(1u << i);
  }
  std::printf("\n");
  for (size_t row = 0; row < kRows; ++row) {
    const Rgb c = chosen[static_cast<size_t>(given[row])].rgb;
    const std::string_view caption = RowCaption(static_cast<int>(row));
    std::printf("    {%d, %d, %d},  // %.*s\n", c.r, c.g, c.b, static_cast<int>(caption.size()),
                caption.data());
  }
  return 0;
}
