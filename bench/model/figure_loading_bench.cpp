// Loading and connecting a whole figure from the sample object library:
// what the random-figure command and project loading cost.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/object_reader.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "../common/counting_sink.h"

namespace {

bool IsObjectFile(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".mwo";
}

// The first object file of every part folder, in sorted order; empty when
// the library or one of its folders is missing.
std::vector<std::string> FirstObjectOfEachPart(const std::filesystem::path& library) {
    std::vector<std::string> chosen;
    for (std::string_view name : model::panelOrder) {
        const std::filesystem::path folder = library / std::string(name);
        std::error_code error;
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            if (entry.is_regular_file() && IsObjectFile(entry.path())) files.push_back(entry.path().string());
        }
        if (error || files.empty()) return {};
        std::sort(files.begin(), files.end());
        chosen.push_back(files.front());
    }
    return chosen;
}

void LoadAndConnectAWholeFigure(benchmark::State& state) {
    const char* overridden = std::getenv("MW_SAMPLE_LIBRARY_DIR");
    const std::filesystem::path library = overridden != nullptr ? overridden : MW_SAMPLE_LIBRARY_DIR;
    const std::vector<std::string> files = FirstObjectOfEachPart(library);
    if (files.empty()) {
        state.SkipWithError(("no sample object library at " + library.string() +
                             " (build it first, or set MW_SAMPLE_LIBRARY_DIR)").c_str());
        return;
    }

    std::int64_t points = 0;
    for (auto _ : state) {
        bench::CountingSink sink;
        model::Creature creature(sink);
        for (int k = 0; k < model::kPartTypeCount; ++k) {
            formats::SetPartFromFile(creature, std::string(model::panelOrder[static_cast<std::size_t>(k)]), files[static_cast<std::size_t>(k)], k);
        }
        if (creature.parts.Count() != model::kPartTypeCount || sink.shown != 0) {
            state.SkipWithError("the sample figure did not assemble without messages");
            return;
        }
        points = 0;
        for (std::int32_t i = 0; i < creature.parts.Count(); ++i) points += creature.PartAt(i)->pointCount;
    }
    state.counters["parts"] = model::kPartTypeCount;
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(LoadAndConnectAWholeFigure)->Unit(benchmark::kMillisecond);

}  // namespace
