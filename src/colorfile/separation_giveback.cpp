// Giving back what the separation does not need: each moved colour goes home
// if it fits there, or to the nearest place that fits, looked for along rays
// from its original; and each is tried home while the others make room for it.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <optional>
#include <vector>

#include "colorfile/color_science.h"
#include "colorfile/separation_search.h"

namespace tintmoor::colorfile {

namespace separation_detail {
namespace {

// Directions to look along from a colour's original place: straight lighter
// and darker first (lightness tells colours apart for every vision), then a
// Fibonacci lattice on the sphere of sRGB directions.
constexpr size_t kLattice = 64;
const std::vector<Point>& Rays() {
  static const std::vector<Point> rays = [] {
    const double grey = 1 / std::sqrt(3.0);
    std::vector<Point> out = {{grey, grey, grey}, {-grey, -grey, -grey}};
    const double golden = std::numbers::pi * (3 - std::sqrt(5.0));
    for (size_t k = 0; k < kLattice; ++k) {
      const double z = 1 - (2.0 * double(k) + 1) / double(kLattice);
      const double r = std::sqrt(1 - z * z);
      out.push_back({r * std::cos(golden * double(k)), r * std::sin(golden * double(k)), z});
    }
    return out;
  }();
  return rays;
}

// Distances along a ray, in sRGB steps: fine near the original, where most
// moves end, coarser farther out; every kCoarse-th is tried first.
const std::vector<double>& RaySteps() {
  static const std::vector<double> steps = [] {
    std::vector<double> out;
    for (double t = 1; t <= 442; t += t < 32 ? 1 : t < 64 ? 2 : t < 128 ? 4 : 8) out.push_back(t);
    return out;
  }();
  return steps;
}
constexpr size_t kCoarse = 3;

}  // namespace

// The place nearest cell i's original, closer than `bound`, where all its
// pairs pass with the other cells where they are: along each ray outward
// in coarse steps to the first place that fits, then back by halving.
std::optional<ColumnSearch::Spot> ColumnSearch::Relocate(const State& s, size_t i, double keep,
                                                         double bound) {
  std::optional<Spot> best;
  const size_t steps = RaySteps().size();
  for (size_t ray = 0; ray < Rays().size(); ++ray) {
    size_t previous = 0;  // one past the last step known not to fit
    for (size_t k = 0; k < steps; k += kCoarse) {
      const Spot* p = OnRay(i, ray, k);
      if (p == nullptr || p->move >= bound) break;
      if (!Fits(s, i, p->views, keep)) {
        previous = k + 1;
        continue;
      }
      const Spot* found = p;
      size_t lo = previous, hi = k;
      while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        const Spot* m = OnRay(i, ray, mid);
        if (m->move < found->move && Fits(s, i, m->views, keep)) {
          found = m;
          hi = mid;
        } else {
          lo = mid + 1;
        }
      }
      best = *found;
      bound = found->move;
      break;
    }
  }
  return best;
}

// Step k along a ray from cell i's original, rounded to whole components;
// null outside the cube. The places are the same whatever the other cells
// do, so each is worked out once.
const ColumnSearch::Spot* ColumnSearch::OnRay(size_t i, size_t ray, size_t k) {
  const size_t key = (i * Rays().size() + ray) * RaySteps().size() + k;
  auto [it, added] = rayCache_.try_emplace(key);
  if (added) {
    const Point& u = Rays()[ray];
    const double t = RaySteps()[k];
    Point q = PointOf(original_[i]);
    bool inside = true;
    for (size_t c = 0; c < 3; ++c) {
      q[c] = std::round(q[c] + t * u[c]);
      inside = inside && q[c] >= 0 && q[c] <= 255;
    }
    if (inside) it->second = At(i, q);
  }
  return it->second ? &*it->second : nullptr;
}

// Whole-number steps that bring a cell nearer its original while it fits.
void ColumnSearch::Settle(const State& s, size_t i, Spot& spot, double keep) {
  for (int stride : {4, 2, 1}) {
    bool better = true;
    while (better) {
      better = false;
      Spot best = spot;
      ForNeighbours(spot.pos, stride, [&](const Point& q) {
        const Spot p = At(i, q);
        if (p.move < best.move && Fits(s, i, p.views, keep)) best = p;
      });
      if (best.move < spot.move) {
        spot = best;
        better = true;
      }
    }
  }
}

// Moves one cell at a time until every pair passes, each time the cell
// whose move costs least per failing pair it mends. False when a failing
// pair has no cell that can move to a place where it fits.
bool ColumnSearch::Greedy(State& s, double keep, std::array<bool, kN> frozen) {
  for (size_t step = 0; step < 2 * kN; ++step) {
    const auto failing = Failing(s, keep);
    if (failing.empty()) return true;
    std::array<int, kN> count{};
    for (const auto& [a, b] : failing) ++count[a], ++count[b];
    std::optional<Spot> chosen;
    size_t chosenCell = 0;
    double chosenRate = INFINITY;
    for (size_t i = 0; i < kN; ++i) {
      if (count[i] == 0 || frozen[i]) continue;
      const auto spot = Relocate(s, i, keep, INFINITY);
      if (!spot) continue;
      const double added = spot->move * spot->move - s.cell[i].move * s.cell[i].move;
      const double rate = added / count[i];
      if (rate < chosenRate) {
        chosenRate = rate;
        chosen = spot;
        chosenCell = i;
      }
    }
    if (!chosen) return false;
    Settle(s, chosenCell, *chosen, keep);
    s.cell[chosenCell] = *chosen;
  }
  return Failing(s, keep).empty();
}

// Gives back what the separation does not need: a moved colour returns
// home when it fits there, or to the nearest place that fits; and a moved
// colour that stays home while others move instead is tried too.
void ColumnSearch::Improve(State& s, double keep) {
  for (int round = 0; round < 4; ++round) {
    bool improved = false;
    for (size_t i = 0; i < kN; ++i) {
      if (!Moved(s, i)) continue;
      if (Fits(s, i, originalViews_[i], keep)) {
        s.cell[i] = {PointOf(original_[i]), originalViews_[i], 0};
        improved = true;
        continue;
      }
      Spot spot = s.cell[i];
      if (auto nearer = Relocate(s, i, keep, spot.move)) spot = *nearer;
      Settle(s, i, spot, keep);
      if (spot.move < s.cell[i].move) {
        s.cell[i] = spot;
        improved = true;
      }
    }
    // Trying each colour home is dear, and seldom pays a second time; out
    // of reach nearly every colour has moved, and it costs more than it gives.
    for (size_t i = 0; i < kN && round == 0 && std::isinf(keep); ++i) {
      if (!Moved(s, i)) continue;
      State trial = s;
      trial.cell[i] = {PointOf(original_[i]), originalViews_[i], 0};
      std::array<bool, kN> frozen{};
      frozen[i] = true;
      if (Greedy(trial, keep, frozen) && Score(trial) < Score(s)) {
        s = trial;
        improved = true;
      }
    }
    if (!improved) break;
  }
}

// Puts back every moved colour whose original fits among the others, until
// none does, so that no colour stays moved that need not be.
void ColumnSearch::GoHome(State& s, double keep) {
  for (bool again = true; again;) {
    again = false;
    for (size_t i = 0; i < kN; ++i)
      if (Moved(s, i) && Fits(s, i, originalViews_[i], keep)) {
        s.cell[i] = {PointOf(original_[i]), originalViews_[i], 0};
        again = true;
      }
  }
}

// A move too small to see (under kJustNoticeable) changes nothing for the
// player but still shows as a change: each is put back while the others make
// room for it, as long as that costs them less than a just-noticeable step in
// all (their moves added up). When it would cost more, or they cannot, the
// threshold needs the move and it stays. What is put back stays there, so
// this ends.
void ColumnSearch::GiveBackUnseen(State& s, double keep) {
  auto total = [](const State& t) {
    double sum = 0;
    for (const Spot& c : t.cell) sum += c.move;
    return sum;
  };
  std::array<bool, kN> home{};
  for (bool again = true; again;) {
    again = false;
    for (size_t i = 0; i < kN; ++i) {
      if (home[i] || !Moved(s, i) || s.cell[i].move >= kJustNoticeable) continue;
      State trial = s;
      trial.cell[i] = {PointOf(original_[i]), originalViews_[i], 0};
      home[i] = true;
      if (Greedy(trial, keep, home) && total(trial) < total(s) + kJustNoticeable) {
        s = trial;
        ++givenBack_;
        again = true;
      } else {
        home[i] = false;
      }
    }
  }
}

}  // namespace separation_detail

}  // namespace tintmoor::colorfile
