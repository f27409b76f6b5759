// What the training labels cost mwbatch random: figures per second as png
// alone and as png with its mask, depth and keypoints, on one job and on
// two, run in-process through the command itself. The summary sets them
// against each other: all the labels together should cost less than half
// as much again as the picture alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/command.h"
#include "common/sample_figure.h"

namespace {

constexpr int kFigures = 96;
const std::string kPicture = "png";
const std::string kLabelled = "png,mask,depth,keypoints";

// The run's files go to a memory file system when there is one, so that the
// disk, which both jobs share, is not what is measured; gone afterwards.
std::filesystem::path OutputFolder() {
    std::error_code ec;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
    return base / ("mw_training_bench_" + std::to_string(::getpid()));
}

void RandomRun(benchmark::State& state, const std::string& formats, int jobs) {
    const std::string library = bench::SampleLibraryDir();
    if (!std::filesystem::is_directory(library)) {
        state.SkipWithError(("no sample object library at " + library).c_str());
        return;
    }
    const std::filesystem::path out = OutputFolder();
    // The options of a training run, so that the figures are posed and
    // turned as in one.
    const std::vector<std::string> args = {"--objects", library, "--out", out.string(), "--count",
                                           std::to_string(kFigures), "--seed", "2000", "--formats", formats,
                                           "--pose-jitter", "25", "--camera-jitter", "30", "--jobs",
                                           std::to_string(jobs), "--quiet"};
    for (auto _ : state) {
        std::ostringstream messages;
        if (cli::RunRandom(args, messages, messages) != cli::kExitDone || !messages.str().empty()) {
            state.SkipWithError(("mwbatch random failed: " + messages.str()).c_str());
            break;
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(out, ec);
    state.counters["figures/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kFigures, benchmark::Counter::kIsRate);
}

std::string Name(const std::string& formats, int jobs) {
    return "mwbatch_random/formats:" + formats + "/jobs:" + std::to_string(jobs);
}

// Keeps each benchmark's rate (the median of repetitions) for the summary.
class RateKeeper : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("figures/s");
            if (it == run.counters.end() || run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            rates[run.run_name.str()] = it->second.value;
        }
    }
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
    for (int jobs : {1, 2}) {
        for (const std::string& formats : {kPicture, kLabelled}) {
            benchmark::RegisterBenchmark(Name(formats, jobs).c_str(),
                                         [formats, jobs](benchmark::State& state) { RandomRun(state, formats, jobs); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RateKeeper reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\nSummary:\n");
    for (int jobs : {1, 2}) {
        const auto rate = [&](const std::string& formats) {
            auto it = reporter.rates.find(Name(formats, jobs) + "/real_time");
            return it != reporter.rates.end() ? it->second : 0.0;
        };
        const double picture = rate(kPicture);
        const double labelled = rate(kLabelled);
        std::printf("  %d job%s: png %6.1f figures/s, with mask, depth and keypoints %6.1f: a figure costs %.2f"
                    " times as much (target: below 1.5)\n",
                    jobs, jobs == 1 ? " " : "s", picture, labelled, labelled > 0 ? picture / labelled : 0.0);
    }
    return 0;
}
