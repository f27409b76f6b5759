#include "cli/manifest.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/figure_render.h"
#include "formats/atomic_file.h"
#include "model/part_types.h"

namespace cli {
namespace {

using Json = nlohmann::ordered_json;

bool Has(const RandomBatch& batch, FigureFormat::Kind kind) {
    for (FigureFormat f : batch.formats) {
        if (f.kind == kind) return true;
    }
    return false;
}

}  // namespace

bool WritesManifest(const RandomBatch& batch) {
    for (FigureFormat f : batch.formats) {
        if (IsLabel(f)) return true;
    }
    return false;
}

std::string ManifestLine(const RandomBatch& batch, std::uint32_t seed) {
    Json files = Json::object();
    for (FigureFormat format : FigureFormats()) {
        if (std::find(batch.formats.begin(), batch.formats.end(), format) == batch.formats.end()) continue;
        files[NameOf(format)] = std::filesystem::path(FigurePath(batch, seed, format)).filename().string();
    }
    Json line = {{"seed", seed}, {"files", files}};
    if (Has(batch, FigureFormat::Kind::Depth)) line["depth_unit"] = kDepthUnit;
    if (Has(batch, FigureFormat::Kind::Mask)) {
        Json legend = Json::object();
        for (int type = 0; type < model::kPartTypeCount; ++type) {
            legend[std::to_string(type + 1)] = model::partTypeNames[static_cast<std::size_t>(type)];
        }
        line["mask_legend"] = legend;
    }
    return line.dump() + "\n";
}

bool WriteManifest(const RandomBatch& batch, const std::vector<std::uint32_t>& seeds, std::string& problem) {
    formats::AtomicFile file((std::filesystem::path(batch.outDir) / kManifestName).string());
    if (file.Open()) {
        for (std::uint32_t seed : seeds) file.Write(ManifestLine(batch, seed));
        if (file.Commit()) return true;
    }
    problem = file.ErrorText().empty() ? "could not be written" : "could not be written (" + file.ErrorText() + ")";
    return false;
}

}  // namespace cli
