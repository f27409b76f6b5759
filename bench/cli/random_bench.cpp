// mwbatch random's throughput in figures per second, as mwp alone and as
// 3ds with png, on one job and on every core, against what connecting the
// 22 parts costs by itself, each read from its file or copied from the file
// read once, as the run does;
// and as png alone on one job with each --png-compression, with the
// pictures' mean size. The summary at the end sets the rates against each
// other: on two cores the run should go at least 1.8 times as fast as on
// one, and a figure written as mwp should cost at most 1.2 times reading
// and connecting its parts.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "cli/command.h"
#include "cli/random_recipe.h"
#include "common/sample_figure.h"
#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "model/creature.h"
#include "common/counting_sink.h"

namespace {

// Figures a run makes: enough that the run's fixed costs (reading the
// library's folders, starting the threads, the one sync at the end) weigh
// as little as in a real batch of thousands.
int FiguresPerRun(const std::string& formats) { return formats == "mwp" ? 960 : 96; }

// The mean size of the pictures in `folder`, 0 when there are none.
double MeanPngBytes(const std::string& folder) {
    double bytes = 0;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".png") continue;
        bytes += static_cast<double>(entry.file_size());
        ++count;
    }
    return count > 0 ? bytes / count : 0;
}

int AllCores() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

// A folder for the files of one benchmark, gone when it ends.
// The figures go to a memory file system when there is one (MW_BENCH_OUT
// names another folder): the run measures making figures, not the disk,
// whose writes both jobs share.
class OutputFolder {
public:
    OutputFolder() {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (const char* chosen = std::getenv("MW_BENCH_OUT")) {
            base = chosen;
        } else if (std::filesystem::is_directory("/dev/shm", ec)) {
            base = "/dev/shm";
        }
        path_ = base / ("mw_random_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
    }
    ~OutputFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// CPU time of every thread of the process (Mesa's own included), in seconds.
double ProcessCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The whole command, as a script runs it: the same seeds each time, so
// each run writes the same figures again.
void RandomFigures(benchmark::State& state, const std::string& formats, int jobs,
                   const std::string& pngCompression = "") {
    const std::string library = bench::SampleLibraryDir();
    if (!std::filesystem::is_directory(library)) {
        state.SkipWithError(("no sample object library at " + library).c_str());
        return;
    }
    OutputFolder out;
    std::vector<std::string> args = {"--objects", library, "--out", out.Path(), "--count",
                                           std::to_string(FiguresPerRun(formats)), "--seed", "1000", "--formats",
                                           formats, "--jobs", std::to_string(jobs), "--quiet"};
    if (!pngCompression.empty()) args.insert(args.end(), {"--png-compression", pngCompression});
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        std::ostringstream messages;
        if (cli::RunRandom(args, messages, messages) != cli::kExitDone || !messages.str().empty()) {
            state.SkipWithError(("mwbatch random failed: " + messages.str()).c_str());
            return;
        }
    }
    const double figures = static_cast<double>(state.iterations()) * FiguresPerRun(formats);
    state.counters["figures/s"] = benchmark::Counter(figures, benchmark::Counter::kIsRate);
    // Shows how much of a core's time a figure takes, whatever else the machine runs.
    state.counters["cpu_ms/figure"] = (ProcessCpuSeconds() - cpuBefore) * 1000 / figures;
    if (formats.find("png") != std::string::npos) state.counters["png_bytes"] = MeanPngBytes(out.Path());
}

// Connecting the 22 parts of the same figures, nothing else: no factors
// applied, no file written. Each part is read from its file (`read`), as a
// figure was made before the run kept what it read, or copied from the file
// read once, as the run does now.
void ConnectTheParts(benchmark::State& state, bool read) {
    const std::string library = bench::SampleLibraryDir();
    const cli::ObjectLists lists = cli::ReadObjectLists(library);
    formats::ParsedParts parsed;
    std::uint32_t seed = 1000;
    for (auto _ : state) {
        const cli::RandomRecipe recipe = cli::DrawRecipe(seed, lists, false, 0);
        seed = seed + 1 < 1000u + static_cast<std::uint32_t>(FiguresPerRun("mwp")) ? seed + 1 : 1000;
        bench::CountingSink sink;
        model::Creature creature(sink);
        for (std::size_t p = 0; p < lists.size(); ++p) {
            if (recipe.files[p] < 0) continue;
            const std::string name(model::panelOrder[p]);
            const std::string path = formats::PartFolder(library, name) + "/" +
                                     lists[p][static_cast<std::size_t>(recipe.files[p])];
            const auto panelIndex = static_cast<std::int32_t>(p);
            const model::MeshObject* part = read ? nullptr : parsed.Find(path);
            if (part != nullptr) {
                creature.SetPart(name, *part, panelIndex);
            } else {
                formats::SetPartFromFile(creature, name, path, panelIndex);
            }
        }
        if (creature.parts.Count() != model::kPartTypeCount || sink.shown != 0) {
            state.SkipWithError("the sample figure did not assemble without messages");
            return;
        }
    }
    state.counters["figures/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}

// Keeps every benchmark's rate for the summary: the median when the runs
// are repeated (--benchmark_repetitions=5 steadies them on a busy machine).
class RateKeeper : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("figures/s");
            if (it == run.counters.end() || run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            rates[run.run_name.str()] = it->second.value;
            auto png = run.counters.find("png_bytes");
            if (png != run.counters.end()) pngBytes[run.run_name.str()] = png->second.value;
        }
    }
    std::map<std::string, double> rates;
    std::map<std::string, double> pngBytes;
};

std::string RandomName(const std::string& formats, int jobs) {
    return "mwbatch_random/formats:" + formats + "/jobs:" + std::to_string(jobs) + "/real_time";
}

std::string PngName(const std::string& compression) {
    return "mwbatch_random/formats:png/jobs:1/png-compression:" + compression + "/real_time";
}

void PrintSummary(const RateKeeper& kept, int cores) {
    const std::map<std::string, double>& rates = kept.rates;
    const auto rate = [&](const std::string& name) {
        auto it = rates.find(name);
        return it != rates.end() ? it->second : 0.0;
    };
    const char* lp = std::getenv("LP_NUM_THREADS");
    std::printf("\nSummary (%d cores, LP_NUM_THREADS %s):\n", cores, lp != nullptr ? lp : "not set");
    for (const char* formats : {"mwp", "3ds,png"}) {
        const double one = rate(RandomName(formats, 1));
        const double all = rate(RandomName(formats, cores));
        std::printf("  %-8s %7.1f figures/s on 1 job, %7.1f on %d: %.2f times (target on 2 cores: 1.8)\n", formats,
                    one, all, cores, one > 0 ? all / one : 0.0);
    }
    const double mwp = rate(RandomName("mwp", 1));
    const double readAndConnect = rate("read_and_connect_22_parts/real_time");
    const double connect = rate("connect_22_read_parts/real_time");
    if (readAndConnect > 0 && connect > 0 && mwp > 0) {
        std::printf("  a figure as mwp costs %.3f ms; reading and connecting its 22 parts %.3f ms (%.2f times,"
                    " target: at most 1.2); connecting them, read once, %.3f ms (%.2f times)\n",
                    1000 / mwp, 1000 / readAndConnect, readAndConnect / mwp, 1000 / connect, connect / mwp);
    }
    for (const char* compression : {"fast", "small"}) {
        auto bytes = kept.pngBytes.find(PngName(compression));
        std::printf("  png, %-5s %7.1f figures/s on 1 job, %8.0f bytes a picture\n", compression,
                    rate(PngName(compression)), bytes != kept.pngBytes.end() ? bytes->second : 0.0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int cores = AllCores();
    std::vector<int> jobCounts = {1};
    if (cores > 1) jobCounts.push_back(cores);
    for (const std::string formats : {"mwp", "3ds,png"}) {
        for (int jobs : jobCounts) {
            benchmark::RegisterBenchmark(("mwbatch_random/formats:" + formats + "/jobs:" + std::to_string(jobs)).c_str(),
                                         [formats, jobs](benchmark::State& state) { RandomFigures(state, formats, jobs); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    // Pictures alone: what the encoder's settings cost and save.
    for (const std::string compression : {"fast", "small"}) {
        benchmark::RegisterBenchmark(
            ("mwbatch_random/formats:png/jobs:1/png-compression:" + compression).c_str(),
            [compression](benchmark::State& state) { RandomFigures(state, "png", 1, compression); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("read_and_connect_22_parts", ConnectTheParts, true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("connect_22_read_parts", ConnectTheParts, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RateKeeper reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintSummary(reporter, cores);
    return 0;
}
