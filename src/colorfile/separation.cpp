// The search, column by column: a penalised descent in continuous sRGB
// (squared moves plus heavily weighted shortfalls, the weight raised step by
// step) from the user's colours, then rounding to whole components and
// mending what rounding broke. If the threshold is not met, further descents
// aim between the minimum reached and the lowest goal that failed, and the
// closest pair is pushed apart. Last, what is not needed is given back: each
// moved colour goes home if it fits there, or to the nearest place that fits
// (looked for along rays from its original), and each is tried home while the
// others make room for it.
#include "colorfile/separation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <utility>
#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/color_science.h"

namespace {

constexpr size_t kV = kVisions.size();
constexpr size_t kN = kRows;

// A colour during the search: sRGB components on the 0..255 scale, not yet rounded.
using Point = std::array<double, 3>;
// A colour as seen with each vision.
using Views = std::array<Lab, kV>;

Views ViewsOf(const Point& p) {
  // The same arithmetic as LabUnder, so whole-number points give its values exactly.
  const LinearRgb linear{SrgbToLinear(p[0] / 255.0), SrgbToLinear(p[1] / 255.0),
                         SrgbToLinear(p[2] / 255.0)};
  Views out{};
  for (size_t v = 0; v < kV; ++v) out[v] = LinearToLab(Simulate(linear, kVisions[v]));
  return out;
}

Point PointOf(Rgb c) { return {double(c.r), double(c.g), double(c.b)}; }

Rgb RgbOf(const Point& p) {
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
double LowerBound(const Lab& x, const Lab& y) {
  const double lMean = (x.L + y.L) / 2 - 50;
  const double l50 = lMean * lMean;
  const double tl = (x.L - y.L) / (1 + 0.015 * l50 / std::sqrt(20 + l50));
  const double chroma = std::sqrt(x.a * x.a + x.b * x.b) + std::sqrt(y.a * y.a + y.b * y.b);
  const double sc = 1 + 0.03375 * chroma;
  const double da = x.a - y.a;
  const double db = x.b - y.b;
  return std::sqrt(tl * tl + 0.13 * (da * da + db * db) / (sc * sc));
}

double Gap(const Views& x, const Views& y) {
  double d = INFINITY;
  for (size_t v = 0; v < kV; ++v) d = std::min(d, Ciede2000(x[v], y[v]));
  return d;
}

// How far a pair falls short of the target, summed over the visions it fails.
double Shortfall(const Views& x, const Views& y, double target) {
  double s = 0;
  for (size_t v = 0; v < kV; ++v) {
    if (LowerBound(x[v], y[v]) >= target) continue;
    const double d = Ciede2000(x[v], y[v]);
    if (d < target) s += (target - d) * (target - d);
  }
  return s;
}

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

// Penalties grow step by step: a tight one from the start pins colours in
// the first local optimum, a loose one alone leaves pairs short.
constexpr double kPenalties[] = {1, 10, 100, 1e3, 1e4};
// Lifting starts from colours already apart, where the loose penalties would
// only undo the separation.
constexpr double kLiftPenalties[] = {100, 1e3, 1e4};
// Thirteen colours kept farther apart than about 20 under all four visions
// have not been found; aiming much higher only scatters them, so the search
// aims no higher than this.
constexpr double kWidest = 24;
// How far past the threshold lifting aims at first.
constexpr double kOvershoot = 2;
// Cell placements the penalised search may weigh in one column: some three
// times what the default threshold takes on the default colours.
constexpr long kEvaluations = 40000;
// Working a little past the threshold leaves room for rounding to whole components.
constexpr double kMargin = 0.05;

class ColumnSearch {
 public:
  ColumnSearch(const ColorTable& table, int column, double threshold) : threshold_(threshold) {
    Aim(threshold);
    for (size_t i = 0; i < kN; ++i) {
      original_[i] = table[i][static_cast<size_t>(column)];
      originalViews_[i] = ViewsOf(PointOf(original_[i]));
    }
  }

  // The column as separated: each row's colour.
  std::array<Rgb, kN> Run() {
    State start;
    for (size_t i = 0; i < kN; ++i) start.cell[i] = {PointOf(original_[i]), originalViews_[i], 0};
    State s = start;
    const double before = Minimum(s);
    const std::vector<size_t> unfit = Unfit(s);
    if (unfit.empty()) return original_;

    if (threshold_ <= kWidest) {
      // Half the work at most, so that lifting has the rest when this falls short.
      budget_ = kEvaluations / 2;
      Descend(s, unfit, kPenalties, 60);
      Round(s);
      Repair(s, unfit);
      budget_ = kEvaluations;
    }
    if (!Reached(s)) {
      // A threshold out of reach can leave the descent worse off than it began.
      if (Minimum(s) < before) s = start;
      Lift(s);
      Spread(s);
    }
    // Out of reach, the search keeps the larger minimum it found, and gives
    // back only what does not take the minimum below that.
    const double keep = Reached(s) ? INFINITY : Minimum(s);
    if (keep <= before) return original_;
    Improve(s, keep);
    GoHome(s, keep);

    std::array<Rgb, kN> out{};
    for (size_t i = 0; i < kN; ++i) out[i] = RgbOf(s.cell[i].pos);
    return out;
  }

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
    Spot s{p, ViewsOf(p), 0};
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
      if (j != i) short_ += Shortfall(p.views, s.cell[j].views, target_);
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
    for (size_t v = 0; v < kV; ++v)
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

  static double Minimum(const State& s) {
    double d = INFINITY;
    for (size_t i = 0; i < kN; ++i)
      for (size_t j = i + 1; j < kN; ++j) d = std::min(d, Gap(s.cell[i].views, s.cell[j].views));
    return d;
  }

  // The place nearest cell i's original, closer than `bound`, where all its
  // pairs pass with the other cells where they are: along each ray outward
  // in coarse steps to the first place that fits, then back by halving.
  std::optional<Spot> Relocate(const State& s, size_t i, double keep, double bound) {
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
  const Spot* OnRay(size_t i, size_t ray, size_t k) {
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
  void Settle(const State& s, size_t i, Spot& spot, double keep) {
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
  bool Greedy(State& s, double keep, std::array<bool, kN> frozen) {
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
  void Improve(State& s, double keep) {
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
  void GoHome(State& s, double keep) {
    for (bool again = true; again;) {
      again = false;
      for (size_t i = 0; i < kN; ++i)
        if (Moved(s, i) && Fits(s, i, originalViews_[i], keep)) {
          s.cell[i] = {PointOf(original_[i]), originalViews_[i], 0};
          again = true;
        }
    }
  }

  // Block coordinate descent on the penalised objective in continuous sRGB:
  // each cell in turn steps against a forward-difference gradient, its step
  // length growing on success and shrinking on failure.
  void Descend(State& s, const std::vector<size_t>& active, std::span<const double> penalties,
               int sweeps) {
    std::array<double, kN> step{};
    step.fill(6);
    for (double penalty : penalties) {
      for (int sweep = 0; sweep < sweeps && !Spent(); ++sweep) {
        double gain = 0;
        for (size_t i : active) {
          const double f0 = Local(s, i, s.cell[i], penalty);
          if (f0 == 0) continue;
          Point grad{};
          double norm = 0;
          for (size_t k = 0; k < 3; ++k) {
            Point q = s.cell[i].pos;
            const double h = q[k] + 0.5 <= 255 ? 0.5 : -0.5;
            q[k] += h;
            grad[k] = (Local(s, i, At(i, q), penalty) - f0) / h;
            norm += grad[k] * grad[k];
          }
          norm = std::sqrt(norm);
          if (norm == 0) continue;
          Point q{};
          for (size_t k = 0; k < 3; ++k)
            q[k] = std::clamp(s.cell[i].pos[k] - step[i] * grad[k] / norm, 0.0, 255.0);
          const Spot p = At(i, q);
          const double f1 = Local(s, i, p, penalty);
          if (f1 < f0) {
            s.cell[i] = p;
            gain += f0 - f1;
            step[i] = std::min(step[i] * 1.5, 40.0);
          } else {
            step[i] = std::max(step[i] * 0.5, 0.05);
          }
        }
        if (gain < 1e-3) break;
      }
    }
  }

  void Round(State& s) const {
    for (size_t i = 0; i < kN; ++i) s.cell[i] = At(i, PointOf(RgbOf(s.cell[i].pos)));
  }

  // After rounding a pair may fall a hair short: whole-number steps on the
  // penalised objective with the tightest penalty mend it.
  void Repair(State& s, const std::vector<size_t>& active) {
    const double penalty = kPenalties[std::size(kPenalties) - 1];
    for (int stride : {4, 2, 1}) {
      bool improved = true;
      for (int round = 0; improved && round < 20 && !AtGoal(s) && !Spent(); ++round) {
        improved = false;
        for (size_t i : active) {
          double bestF = Local(s, i, s.cell[i], penalty);
          Spot best = s.cell[i];
          ForNeighbours(s.cell[i].pos, stride, [&](const Point& q) {
            const Spot p = At(i, q);
            const double f = Local(s, i, p, penalty);
            if (f < bestF) {
              bestF = f;
              best = p;
              improved = true;
            }
          });
          s.cell[i] = best;
        }
      }
    }
  }

  // The smallest distance from a cell placed at v to the others, or `floor`
  // when it is at least that.
  double CellMinimum(const State& s, size_t i, const Views& v, double floor) const {
    double d = floor;
    for (size_t j = 0; j < kN; ++j) {
      if (j == i) continue;
      for (size_t k = 0; k < kV; ++k)
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
        for (size_t v = 0; v < kV; ++v) {
          const Lab& x = s.cell[i].views[v];
          const Lab& y = s.cell[j].views[v];
          if (LowerBound(x, y) < goal_ && Ciede2000(x, y) < goal_) return false;
        }
    return true;
  }

  // When one descent does not reach the threshold: further descents from the
  // best colours so far, each aiming halfway between the minimum they have and
  // the lowest goal that failed, kept only if they raise the minimum. The
  // first goal lies a little past the threshold, which can get the colours
  // out of a corner; what that moves too far is given back afterwards.
  void Lift(State& s) {
    double reached = Minimum(s);
    double failed = std::min(threshold_ + kOvershoot, kWidest);
    while (!Spent() && failed - reached > 0.1) {
      Aim((reached + failed) / 2);
      State t = s;
      std::vector<size_t> active;
      for (size_t i = 0; i < kN; ++i)
        if (CellMinimum(t, i, t.cell[i].views, target_) < target_) active.push_back(i);
      Descend(t, active, kLiftPenalties, 30);
      Round(t);
      Repair(t, active);
      const double m = Minimum(t);
      if (m > reached) {
        s = t;
        reached = m;
        if (m >= threshold_) break;
      } else {
        failed = goal_;
      }
    }
    Aim(threshold_);
  }

  // When the descent leaves pairs short, pushes the closest pair apart for as
  // long as that raises the minimum: each of its two cells in turn goes, by
  // whole-number steps, where its nearest neighbour is farthest.
  void Spread(State& s) {
    for (int round = 0; round < 200; ++round) {
      double worst = INFINITY;
      std::pair<size_t, size_t> pair{0, 1};
      for (size_t i = 0; i < kN; ++i)
        for (size_t j = i + 1; j < kN; ++j) {
          const double d = Gap(s.cell[i].views, s.cell[j].views);
          if (d < worst) worst = d, pair = {i, j};
        }
      if (worst >= threshold_) return;
      bool raised = false;
      for (size_t i : {pair.first, pair.second}) {
        double mine = CellMinimum(s, i, s.cell[i].views, INFINITY);
        for (int stride : {16, 8, 4, 2, 1}) {
          bool better = true;
          while (better) {
            better = false;
            Spot best = s.cell[i];
            ForNeighbours(s.cell[i].pos, stride, [&](const Point& q) {
              const Spot p = At(i, q);
              const double d = CellMinimum(s, i, p.views, INFINITY);
              if (d > mine) mine = d, best = p, better = true;
            });
            s.cell[i] = best;
            raised = raised || better;
          }
        }
      }
      if (!raised) return;
    }
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
  // What the penalised search aims at: the threshold, or on the way to it a
  // smaller goal; the target is a little past it.
  double goal_ = 0;
  double target_ = 0;
  std::array<Rgb, kN> original_{};
  std::array<Views, kN> originalViews_{};
  std::array<size_t, kN> blocker_{};
  long evaluations_ = 0;
  long budget_ = kEvaluations;
  std::unordered_map<size_t, std::optional<Spot>> rayCache_;
};

}  // namespace

double ColumnMinimum(const ColorTable& table, int column) {
  if (column < 0 || column >= kColumns) throw std::invalid_argument("no such colour column");
  std::array<Views, kN> views{};
  for (size_t i = 0; i < kN; ++i) views[i] = ViewsOf(PointOf(table[i][size_t(column)]));
  double d = INFINITY;
  for (size_t i = 0; i < kN; ++i)
    for (size_t j = i + 1; j < kN; ++j) d = std::min(d, Gap(views[i], views[j]));
  return d;
}

SeparationResult SeparateColors(const ColorTable& table, double threshold,
                                std::span<const int> columns) {
  if (!std::isfinite(threshold))
    throw std::invalid_argument("the separation threshold is not a number");
  std::array<bool, kColumns> chosen{};
  for (int c : columns) {
    if (c < 0 || c >= kColumns) throw std::invalid_argument("no such colour column");
    chosen[size_t(c)] = true;
  }
  SeparationResult result;
  result.table = table;
  result.reached = true;
  result.minimumBefore = INFINITY;
  result.minimumAfter = INFINITY;
  for (int c = 0; c < kColumns; ++c) {
    if (!chosen[size_t(c)]) continue;
    const auto column = ColumnSearch(table, c, threshold).Run();
    for (size_t i = 0; i < kN; ++i) result.table[i][size_t(c)] = column[i];
    const double before = ColumnMinimum(table, c);
    const double after = ColumnMinimum(result.table, c);
    result.minimumBefore = std::min(result.minimumBefore, before);
    result.minimumAfter = std::min(result.minimumAfter, after);
    if (RoundDistance(after) < threshold) result.reached = false;
  }
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) {
      const Rgb before = table[size_t(r)][size_t(c)];
      const Rgb after = result.table[size_t(r)][size_t(c)];
      if (before != after)
        result.moves.push_back(
            {r, c, before, after,
             Ciede2000(LabUnder(before, Vision::Normal), LabUnder(after, Vision::Normal))});
    }
  return result;
}
