// The penalised search: descent in continuous sRGB, rounding to whole
// components and mending what rounding broke; and when the threshold is not
// met, lifting the minimum by further descents and pushing the closest pair
// apart.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <span>
#include <utility>
#include <vector>

#include "colorfile/color_science.h"
#include "colorfile/separation_search.h"

namespace tintmoor::colorfile {

namespace separation_detail {

// Block coordinate descent on the penalised objective in continuous sRGB:
// each cell in turn steps against a forward-difference gradient, its step
// length growing on success and shrinking on failure.
void ColumnSearch::Descend(State& s, const std::vector<size_t>& active,
                           std::span<const double> penalties, int sweeps) {
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

void ColumnSearch::Round(State& s) const {
  for (size_t i = 0; i < kN; ++i) s.cell[i] = At(i, PointOf(RgbOf(s.cell[i].pos)));
}

// After rounding a pair may fall a hair short: whole-number steps on the
// penalised objective with the tightest penalty mend it.
void ColumnSearch::Repair(State& s, const std::vector<size_t>& active) {
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

// When one descent does not reach the threshold: further descents from the
// best colours so far, each aiming halfway between the minimum they have and
// the lowest goal that failed, kept only if they raise the minimum. The
// first goal lies a little past the threshold, which can get the colours
// out of a corner; what that moves too far is given back afterwards.
void ColumnSearch::Lift(State& s) {
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
void ColumnSearch::Spread(State& s) {
  for (int round = 0; round < 200; ++round) {
    double worst = INFINITY;
    std::pair<size_t, size_t> pair{0, 1};
    for (size_t i = 0; i < kN; ++i)
      for (size_t j = i + 1; j < kN; ++j) {
        const double d = Gap(s.cell[i].views, s.cell[j].views, n_);
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

}  // namespace separation_detail

}  // namespace tintmoor::colorfile
