// What posing costs mwbatch random per figure written as png on one job:
// without a pose, with --pose-jitter (each figure's own turns, so its own
// skeleton, skin and posed copy), and with a built-in pose. The summary
// sets the jittered run against the plain one: the aim is under 1.2 times
// the time a figure takes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/command.h"
#include "common/counting_sink.h"
#include "common/sample_figure.h"
#include "model/pose.h"

namespace {

constexpr int kFigures = 96;

// The figures go to a memory file system when there is one: the run
// measures making figures, not the disk.
std::filesystem::path OutputFolder() {
    std::error_code ec;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
    return base / ("mw_pose_bench_" + std::to_string(::getpid()));
}

// CPU time of every thread of the process, in seconds.
double ProcessCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void PosedFigures(benchmark::State& state, const std::vector<std::string>& pose) {
    const std::string library = bench::SampleLibraryDir();
    if (!std::filesystem::is_directory(library)) {
        state.SkipWithError(("no sample object library at " + library).c_str());
        return;
    }
    const std::filesystem::path out = OutputFolder();
    std::vector<std::string> args = {"--objects", library, "--out", out.string(), "--count", std::to_string(kFigures),
                                     "--seed", "1000", "--formats", "png", "--jobs", "1", "--quiet"};
    args.insert(args.end(), pose.begin(), pose.end());
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        std::ostringstream messages;
        if (cli::RunRandom(args, messages, messages) != cli::kExitDone || !messages.str().empty()) {
            state.SkipWithError(("mwbatch random failed: " + messages.str()).c_str());
            break;
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(out, ec);
    const double figures = static_cast<double>(state.iterations()) * kFigures;
    state.counters["figures/s"] = benchmark::Counter(figures, benchmark::Counter::kIsRate);
    // A core's time a figure takes (the worker's and Mesa's threads too),
    // steadier than the rate on a machine that others share.
    state.counters["cpu_ms/figure"] = (ProcessCpuSeconds() - cpuBefore) * 1000 / figures;
}

// The posing alone, steadier than the difference of two whole runs on a
// shared machine: a jittered pose drawn and the sample figure's posed copy
// made (its skeleton and skin worked out, its parts copied and skinned).
void PosedCopy(benchmark::State& state) {
    bench::CountingSink sink;
    model::Creature figure(sink);
    if (!bench::BuildSampleFigure(figure)) {
        state.SkipWithError("no sample object library");
        return;
    }
    model::RandomGenerator random;
    random.Seed(1000);
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        const std::unique_ptr<model::Creature> posed = model::PosedCopy(figure, model::JitteredPose(random, 20));
        benchmark::DoNotOptimize(posed.get());
    }
    state.counters["figures/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_ms/figure"] = (ProcessCpuSeconds() - cpuBefore) * 1000 / static_cast<double>(state.iterations());
}

// Keeps each benchmark's rate (the median when repeated) for the summary.
class RateKeeper : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("figures/s");
            if (it == run.counters.end() || run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            rates[run.run_name.str()] = it->second.value;
            cpuMs[run.run_name.str()] = run.counters.at("cpu_ms/figure").value;
        }
    }
    std::map<std::string, double> rates;
    std::map<std::string, double> cpuMs;
};

const std::vector<std::pair<std::string, std::vector<std::string>>> kRuns = {
    {"random_png/rest", {}},
    {"random_png/pose-jitter:20", {"--pose-jitter", "20"}},
    {"random_png/pose:t-pose", {"--pose", "t-pose"}},
};

}  // namespace

int main(int argc, char** argv) {
    for (const auto& [name, pose] : kRuns) {
        benchmark::RegisterBenchmark(name.c_str(), [pose](benchmark::State& state) { PosedFigures(state, pose); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("posed_copy", PosedCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RateKeeper reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto kept = [&](const std::map<std::string, double>& values, const std::string& name) {
        auto it = values.find(name + "/real_time");
        return it != values.end() ? it->second : 0.0;
    };
    std::printf("\nSummary (png, 1 job, %d figures a run):\n", kFigures);
    for (const auto& [name, pose] : kRuns) {
        std::printf("  %-26s %7.1f figures/s, %6.2f ms CPU a figure\n", name.c_str(), kept(reporter.rates, name),
                    kept(reporter.cpuMs, name));
    }
    const double rest = kept(reporter.cpuMs, kRuns[0].first);
    const double jitter = kept(reporter.cpuMs, kRuns[1].first);
    if (rest > 0 && jitter > 0) {
        std::printf("  --pose-jitter costs %.1f %% more CPU a figure (aim: under 20 %%)\n", 100 * (jitter / rest - 1));
    }
    const double copy = kept(reporter.cpuMs, "posed_copy");
    if (copy > 0 && rest > 0) {
        std::printf("  a jittered pose and the sample figure's posed copy take %.2f ms CPU, %.1f %% of a figure's\n",
                    copy, 100 * copy / rest);
    }
    return 0;
}
