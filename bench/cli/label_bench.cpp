// What the labels add to a picture of the sample figure at the view's size:
// the picture alone, with the mask, with mask and depth, and the label
// pictures' PNG encoding, each in the smooth and the wire mode.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "cli/figure_render.h"
#include "common/counting_sink.h"
#include "common/sample_figure.h"
#include "model/creature.h"

namespace {

struct Figure {
    Figure() : creature(sink) { ready = bench::BuildSampleFigure(creature); }
    bench::CountingSink sink;
    model::Creature creature;
    bool ready = false;
};

const Figure& SampleFigure() {
    static const Figure* const figure = new Figure;
    return *figure;
}

// range(0): the draw mode; range(1): 0 the picture alone, 1 with the mask, 2 with mask and depth.
void BM_RenderWithLabels(benchmark::State& state) {
    const Figure& figure = SampleFigure();
    if (!figure.ready) {
        state.SkipWithError("no sample library");
        return;
    }
    cli::RenderSettings settings;
    settings.view.drawMode = static_cast<int>(state.range(0));
    settings.view.yaw = 0.6f;
    const cli::LabelRequest request{state.range(1) >= 1, state.range(1) >= 2};
    cli::Picture picture;
    cli::LabelPictures labels;
    std::string error;
    for (auto _ : state) {
        if (!cli::RenderPicture(figure.creature, settings, picture, request, labels, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(picture.rgb.data());
    }
}
BENCHMARK(BM_RenderWithLabels)
    ->ArgsProduct({{0, 2}, {0, 1, 2}})
    ->ArgNames({"mode", "labels"})
    ->Unit(benchmark::kMillisecond);

// range(0): 0 the picture, 1 the mask, 2 the depth, written as PNG (fast).
void BM_WriteLabelPng(benchmark::State& state) {
    const Figure& figure = SampleFigure();
    cli::Picture picture;
    cli::LabelPictures labels;
    std::string error;
    if (!figure.ready || !cli::RenderPicture(figure.creature, cli::RenderSettings{}, picture,
                                             cli::LabelRequest{true, true}, labels, error)) {
        state.SkipWithError("no picture");
        return;
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / ("mw_label_bench_" + std::to_string(::getpid()) + ".png")).string();
    for (auto _ : state) {
        const bool written = state.range(0) == 0   ? cli::WritePng(picture, path)
                             : state.range(0) == 1 ? cli::WriteMaskPng(labels, path)
                                                   : cli::WriteDepthPng(labels, path);
        if (!written) {
            state.SkipWithError("not written");
            break;
        }
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}
BENCHMARK(BM_WriteLabelPng)->DenseRange(0, 2)->ArgName("picture")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
