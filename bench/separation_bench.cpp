// Time and results of separating players' colours, on the default colours, the
// presets and three schemes with colours that collide
// (tests/support/clash_schemes.h), for everyone and for green-weak vision.
// After the usual table it prints what each separation achieved, including
// how many moves too small to see it gave back, and checks the figures the
// project holds the separation to:
//   default colours, unit column, threshold 10: every pair at least 10 apart
//   under all four visions (as the check compares), the moves adding up to
//   <= 48 (the eight moves of 6 once allowed: moves too small to see are now
//   given back, which raises the mean of the rest while the sum barely
//   changes), largest move <= 18;
//   one scheme (unit and minimap, as the window and the command separate by
//   default) and all 13 x 3 colours each separated in under 1 s (median CPU
//   time), also when the threshold is out of reach.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "colorfile/color_check.h"
#include "colorfile/presets.h"
#include "colorfile/separation.h"
#include "support/clash_schemes.h"

using tintmoor::colorfile::Audience;
using tintmoor::colorfile::CellMove;
using tintmoor::colorfile::CheckOptions;
using tintmoor::colorfile::CheckTable;
using tintmoor::colorfile::ClashScheme;
using tintmoor::colorfile::ClashSchemes;
using tintmoor::colorfile::ClosePair;
using tintmoor::colorfile::ColorTable;
using tintmoor::colorfile::ColourVisionScheme;
using tintmoor::colorfile::DefaultScheme;
using tintmoor::colorfile::EveryVision;
using tintmoor::colorfile::kDefaultSeparation;
using tintmoor::colorfile::MakeAudience;
using tintmoor::colorfile::SeparateColors;
using tintmoor::colorfile::SeparationResult;
using tintmoor::colorfile::Vision;

namespace {

const std::vector<int> kUnit = {0};
const std::vector<int> kAll = {0, 1, 2};

const std::vector<int> kShown = {0, 1};

struct Job {
  std::string name;
  ColorTable table;
  CheckOptions options;
};

const std::vector<Job>& Jobs() {
  static const std::vector<Job> jobs = [] {
    const Vision deutan[] = {Vision::Deutan};
    const Audience greenWeak = MakeAudience(deutan, 0.6);
    const double d = kDefaultSeparation;
    std::vector<Job> out = {
        {"default/unit", DefaultScheme(), {EveryVision(), kUnit, d}},
        {"default/shown", DefaultScheme(), {EveryVision(), kShown, d}},
        {"default/shown/deutan-0.6", DefaultScheme(), {greenWeak, kShown, d}},
        {"default/all", DefaultScheme(), {EveryVision(), kAll, d}},
        {"color-vision/shown", ColourVisionScheme(), {EveryVision(), kShown, d}},
        {"color-vision/all", ColourVisionScheme(), {EveryVision(), kAll, d}}};
    for (const ClashScheme& s : ClashSchemes()) {
      out.push_back({std::string(s.name) + "/unit", s.table, {EveryVision(), kUnit, d}});
      out.push_back({std::string(s.name) + "/all", s.table, {EveryVision(), kAll, d}});
    }
    out.push_back({"default/all/out-of-reach-60", DefaultScheme(), {EveryVision(), kAll, 60}});
    return out;
  }();
  return jobs;
}

void BM_Separate(benchmark::State& state) {
  const Job& job = Jobs()[static_cast<size_t>(state.range(0))];
  state.SetLabel(job.name);
  for (auto _ : state) {
    SeparationResult r = SeparateColors(job.table, job.options);
    benchmark::DoNotOptimize(r.table.data());
  }
}

void AllJobs(benchmark::internal::Benchmark* b) {
  for (size_t i = 0; i < Jobs().size(); ++i) b->Arg(static_cast<int64_t>(i));
}

BENCHMARK(BM_Separate)->Apply(AllJobs)->Unit(benchmark::kMillisecond)->Repetitions(3);

// Shows every run as usual and keeps, by job, the median over repetitions of
// the CPU and the wall time per iteration: on a shared machine CPU time is
// the steadier of the two.
class Collector : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, std::vector<double>> cpu, wall;
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred || r.iterations == 0 || r.run_type != Run::RT_Iteration) continue;
      const double n = static_cast<double>(r.iterations);
      cpu[r.report_label].push_back(r.cpu_accumulated_time / n);
      wall[r.report_label].push_back(r.real_accumulated_time / n);
    }
  }
  static double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();

  bool ok = true;
  auto Line = [&](const char* what, double value, const char* target, bool met) {
    std::printf("  %-58s %8.3f  target %-6s %s\n", what, value, target, met ? "met" : "NOT MET");
    ok = ok && met;
  };

  std::printf(
      "\nSeparation results (minimum over the chosen columns and the job's visions; moves in "
      "CIEDE2000, normal vision):\n");
  std::printf("  %-28s %9s %7s %7s %7s %6s %6s %7s %7s %6s %9s %9s\n", "job", "threshold", "before",
              "after", "reached", "moved", "mean", "largest", "total", "given", "cpu ms",
              "wall ms");
  std::map<std::string, SeparationResult> results;
  for (const Job& job : Jobs()) {
    const SeparationResult r = SeparateColors(job.table, job.options);
    double sum = 0, largest = 0;
    for (const CellMove& m : r.moves) sum += m.distance, largest = std::max(largest, m.distance);
    const double mean = r.moves.empty() ? 0 : sum / static_cast<double>(r.moves.size());
    std::printf("  %-28s %9.0f %7.3f %7.3f %7s %6zu %6.2f %7.2f %7.2f %6zu %9.1f %9.1f\n",
                job.name.c_str(), job.options.threshold, r.minimumBefore, r.minimumAfter,
                r.reached ? "yes" : "no", r.moves.size(), mean, largest, sum, r.givenBack,
                1e3 * Collector::Median(collector.cpu.count(job.name) ? collector.cpu[job.name]
                                                                      : std::vector<double>{}),
                1e3 * Collector::Median(collector.wall.count(job.name) ? collector.wall[job.name]
                                                                       : std::vector<double>{}));
    results[job.name] = r;
  }

  std::printf("\nSeparation targets:\n");
  const SeparationResult& unit = results["default/unit"];
  double sum = 0, largest = 0;
  for (const CellMove& m : unit.moves) sum += m.distance, largest = std::max(largest, m.distance);
  const double mean = unit.moves.empty() ? 0 : sum / static_cast<double>(unit.moves.size());
  bool unitClear = unit.reached;
  for (const ClosePair& p : CheckTable(unit.table, {EveryVision(), kUnit, 10}).close)
    unitClear = unitClear && p.column != 0;
  Line("default unit: closest pair, four visions, unrounded", unit.minimumAfter, ">= 10",
       unitClear && unit.minimumAfter >= 10);
  std::printf("  %-58s %8.3f\n", "default unit: mean move of the moved colours", mean);
  Line("default unit: moves added up", sum, "<= 48", sum <= 48);
  Line("default unit: largest move", largest, "<= 18", largest <= 18);
  for (const char* name : {"default/shown", "default/shown/deutan-0.6", "default/all",
                           "default/all/out-of-reach-60"}) {
    if (!collector.cpu.count(name)) continue;
    const double seconds = Collector::Median(collector.cpu[name]);
    Line((std::string(name) + ": median CPU s").c_str(), seconds, "< 1", seconds < 1);
  }
  return ok ? 0 : 1;
}
