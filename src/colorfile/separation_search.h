// Internal to the separation (separation.cpp and the separation_*.cpp files
// beside it), which share the search's state and its colour-space helpers;
// nothing else includes this. The small helpers are defined here so that the
// search's inner loops keep them inlined across the files.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/color_science.h"
#include "colorfile/color_table.h"
#include "colorfile/color_value.h"

namespace tintmoor::colorfile {

namespace separation_detail {

// At most this many sights: normal vision and the three kinds.
inline constexpr size_t kV = kVisions.size();
inline constexpr size_t kN = kRows;

// A colour during the search: sRGB components on the 0..255 scale, not yet rounded.
using Point = std::array<double, 3>;
// A colour as seen with each sight of the audience, normal vision first; the
// places past the audience's sights are unused.
using Views = std::array<Lab, kV>;

inline Views ViewsOf(const Point& p, std::span<const Sight> sights) {
  // The same arithmetic as LabUnder, so whole-number points give its values exactly.
  const LinearRgb linear{SrgbToLinear(p[0] / 255.0), SrgbToLinear(p[1] / 255.0),
                         SrgbToLinear(p[2] / 255.0)};
  Views out{};
  for (size_t v = 0; v < sights.size(); ++v) out[v] = LinearToLab(Simulate(linear, sights[v]));
  return out;
}

inline Point PointOf(Rgb c) { return {double(c.r), double(c.g), double(c.b)}; }

inline Rgb RgbOf(const Point& p) {
  auto component = [](double x) {
    return static_cast<uint8_t>(std::clamp(std::lround(x), 0L, 255L));
  };
  return {component(p[0]), component(p[1]), component(p[2])};
}

// A cheap lower bound on Ciede2000(x, y), so that pairs plainly far apart cost
// no full difference. The lightness term is exact; of the rest, the rotation
// term takes away at most sin 60 degrees of the chroma and hue terms, which
// are at least the a*b* distance over the chroma weighting at its largest
// (a* scaled by 1.5 at most).
inline double LowerBound(const Lab& x, const Lab& y) {
  const double lMean = (x.L + y.L) / 2 - 50;
  const double l50 = lMean * lMean;
  const double tl = (x.L - y.L) / (1 + 0.015 * l50 / std::sqrt(20 + l50));
  const double chroma = std::sqrt(x.a * x.a + x.b * x.b) + std::sqrt(y.a * y.a + y.b * y.b);
  const double sc = 1 + 0.03375 * chroma;
  const double da = x.a - y.a;
  const double db = x.b - y.b;
  return std::sqrt(tl * tl + 0.13 * (da * da + db * db) / (sc * sc));
}

// The closest the two colours come under the first n sights.
inline double Gap(const Views& x, const Views& y, size_t n) {
  double d = INFINITY;
  for (size_t v = 0; v < n; ++v) d = std::min(d, Ciede2000(x[v], y[v]));
  return d;
}

// How far a pair falls short of the target, summed over the sights it fails.
inline double Shortfall(const Views& x, const Views& y, double target, size_t n) {
  double s = 0;
  for (size_t v = 0; v < n; ++v) {
    if (LowerBound(x[v], y[v]) >= target) continue;
    const double d = Ciede2000(x[v], y[v]);
    if (d < target) s += (target - d) * (target - d);
  }
  return s;
}

// Penalties grow step by step: a tight one from the start pins colours in
// the first local optimum, a loose one alone leaves pairs short.
inline constexpr double kPenalties[] = {1, 10, 100, 1e3, 1e4};
// Lifting starts from colours already apart, where the loose penalties would
// only undo the separation.
inline constexpr double kLiftPenalties[] = {100, 1e3, 1e4};
// Thirteen colours kept farther apart than about 20 under all four visions
// have not been found; aiming much higher only scatters them, so the search
// aims no higher than this.
inline constexpr double kWidest = 24;
// How far past the threshold lifting aims at first.
inline constexpr double kOvershoot = 2;
// Cell placements the penalised search may weigh in one column: some three
// times what the default threshold takes on the default colours.
inline constexpr long kEvaluations = 40000;
// Working a little past the threshold leaves room for rounding to whole components.
inline constexpr double kMargin = 0.05;

// The search for one column, in the phases the overview at the top of
// separation.cpp describes.
class ColumnSearch {
 public:
  ColumnSearch(const ColorTable& table, int column, double threshold, const Audience& audience)
      : threshold_(threshold), sights_(audience.sights), n_(audience.sights.size()) {
    Aim(threshold);
    for (size_t i = 0; i < kN; ++i) {
      original_[i] = table[i][static_cast<size_t>(column)];
      originalViews_[i] = ViewsOf(PointOf(original_[i]), sights_);
    }
  }

  std::array<Rgb, kN> Run();
  // How many moves too small to see the last run gave back.
  size_t GivenBack() const { return givenBack_; }

 private:
  struct Spot {
    Point pos{};
    Views views{};
    double move = 0;  // from the original, normal vision
  };
  struct State {
    std::array<Spot, kN> cell{};
  };

  Spot At(size_t i, const Point& p) const {
    Spot s{p, ViewsOf(p, sights_), 0};
    s.move = Ciede2000(originalViews_[i][0], s.views[0]);
    return s;
  }

  bool Moved(const State& s, size_t i) const { return RgbOf(s.cell[i].pos) != original_[i]; }

  // What the separation minimises: the sum of squared moves, which keeps each
  // move small rather than the total, and puts the burden on several colours
  // where one would have to move far.
  static double Score(const State& s) {
    double score = 0;
    for (const Spot& c : s.cell) score += c.move * c.move;
    return score;
  }

  // The penalised search counts its work and stops at a fixed amount, so a
  // threshold far out of reach takes no longer than a hard one; counting
  // rather than timing keeps the result the same on every run.
  bool Spent() const { return evaluations_ >= budget_; }

  // The part of the penalised objective that depends on cell i placed at p.
  double Local(const State& s, size_t i, const Spot& p, double penalty) {
    ++evaluations_;
    double short_ = 0;
    for (size_t j = 0; j < kN; ++j)
      if (j != i) short_ += Shortfall(p.views, s.cell[j].views, target_, n_);
    return p.move * p.move + penalty * short_;
  }

  // Whether a pair at distance d passes: at least the threshold, or when the
  // threshold is out of reach, no closer than `keep`. The check rounds to two
  // decimals before it compares; not rounding here keeps up to 0.005 in hand,
  // so that a build whose floating point differs in the last bits (the x87
  // unit of the 32-bit one) still sees every pair pass.
  bool Ok(double d, double keep) const { return d >= threshold_ || d >= keep; }

  bool PairOk(const Views& x, const Views& y, double keep) const {
    // Ok is monotonic in the distance, so the pair passes when every vision
    // does, and plainly when the bound clears the threshold or `keep`.
    const double clear = std::min(threshold_, keep);
    for (size_t v = 0; v < n_; ++v)
      if (LowerBound(x[v], y[v]) < clear && !Ok(Ciede2000(x[v], y[v]), keep)) return false;
    return true;
  }

  // Looks first at the cell that stood in the way last time: most places
  // tried fail, and mostly on the same neighbour.
  bool Fits(const State& s, size_t i, const Views& v, double keep) {
    const size_t hint = blocker_[i];
    if (hint != i && !PairOk(v, s.cell[hint].views, keep)) return false;
    for (size_t j = 0; j < kN; ++j)
      if (j != i && j != hint && !PairOk(v, s.cell[j].views, keep)) {
        blocker_[i] = j;
        return false;
      }
    return true;
  }

  std::vector<std::pair<size_t, size_t>> Failing(const State& s, double keep) const {
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t i = 0; i < kN; ++i)
      for (size_t j = i + 1; j < kN; ++j)
        if (!PairOk(s.cell[i].views, s.cell[j].views, keep)) pairs.emplace_back(i, j);
    return pairs;
  }

  bool Reached(const State& s) const { return Failing(s, INFINITY).empty(); }

  std::vector<size_t> Unfit(const State& s) {
    std::vector<size_t> cells;
    for (size_t i = 0; i < kN; ++i)
      if (!Fits(s, i, s.cell[i].views, INFINITY)) cells.push_back(i);
    return cells;
  }

  double Minimum(const State& s) const {
    double d = INFINITY;
    for (size_t i = 0; i < kN; ++i)
      for (size_t j = i + 1; j < kN; ++j)
        d = std::min(d, Gap(s.cell[i].views, s.cell[j].views, n_));
    return d;
  }

  // Giving back what is not needed (separation_giveback.cpp).
  std::optional<Spot> Relocate(const State& s, size_t i, double keep, double bound);
  const Spot* OnRay(size_t i, size_t ray, size_t k);
  void Settle(const State& s, size_t i, Spot& spot, double keep);
  bool Greedy(State& s, double keep, std::array<bool, kN> frozen);
  void Improve(State& s, double keep);
  void GoHome(State& s, double keep);
  void GiveBackUnseen(State& s, double keep);

  // The penalised search and lifting (separation_descent.cpp).
  void Descend(State& s, const std::vector<size_t>& active, std::span<const double> penalties,
               int sweeps);
  void Round(State& s) const;
  void Repair(State& s, const std::vector<size_t>& active);
  void Lift(State& s);
  void Spread(State& s);

  // The smallest distance from a cell placed at v to the others, or `floor`
  // when it is at least that.
  double CellMinimum(const State& s, size_t i, const Views& v, double floor) const {
    double d = floor;
    for (size_t j = 0; j < kN; ++j) {
      if (j == i) continue;
      for (size_t k = 0; k < n_; ++k)
        if (LowerBound(v[k], s.cell[j].views[k]) < d)
          d = std::min(d, Ciede2000(v[k], s.cell[j].views[k]));
    }
    return d;
  }

  void Aim(double goal) {
    goal_ = goal;
    target_ = goal + kMargin;
  }

  // Whether every pair is at least the goal apart.
  bool AtGoal(const State& s) const {
    for (size_t i = 0; i < kN; ++i)
      for (size_t j = i + 1; j < kN; ++j)
        for (size_t v = 0; v < n_; ++v) {
          const Lab& x = s.cell[i].views[v];
          const Lab& y = s.cell[j].views[v];
          if (LowerBound(x, y) < goal_ && Ciede2000(x, y) < goal_) return false;
        }
    return true;
  }

  // The 26 whole-number neighbours at the given stride that lie in the cube.
  template <typename F>
  static void ForNeighbours(const Point& p, int stride, F&& f) {
    for (int dr = -1; dr <= 1; ++dr)
      for (int dg = -1; dg <= 1; ++dg)
        for (int db = -1; db <= 1; ++db) {
          if (dr == 0 && dg == 0 && db == 0) continue;
          const Point q{p[0] + dr * stride, p[1] + dg * stride, p[2] + db * stride};
          if (std::ranges::any_of(q, [](double x) { return x < 0 || x > 255; })) continue;
          f(q);
        }
  }

  double threshold_;
  std::vector<Sight> sights_;
  size_t n_;
  // What the penalised search aims at: the threshold, or on the way to it a
  // smaller goal; the target is a little past it.
  double goal_ = 0;
  double target_ = 0;
  std::array<Rgb, kN> original_{};
  std::array<Views, kN> originalViews_{};
  std::array<size_t, kN> blocker_{};
  long evaluations_ = 0;
  long budget_ = kEvaluations;
  size_t givenBack_ = 0;
  std::unordered_map<size_t, std::optional<Spot>> rayCache_;
};

}  // namespace separation_detail

}  // namespace tintmoor::colorfile
