// manifest.jsonl: the index of a random run that draws training labels,
// one JSON line per figure written, in seed order. Every line stands alone
// (its files, the depth unit, the mask's legend) and depends on its seed
// and the run's formats alone, so the manifests of a run split by seed
// ranges, put one after the other, are the manifest of the whole run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/random_batch.h"

namespace cli {

constexpr const char* kManifestName = "manifest.jsonl";

// Whether the run writes a manifest: when it draws a mask, a depth or a
// keypoints file.
bool WritesManifest(const RandomBatch& batch);

// One figure's line, its "\n" included: {"seed", "files" (format name to
// file name, in writing order), "depth_unit" with depth pictures,
// "mask_legend" (label to part name) with masks}.
std::string ManifestLine(const RandomBatch& batch, std::uint32_t seed);

// Writes the lines of `seeds` into outDir/manifest.jsonl through a temporary
// file, replacing the file only when complete; false with `problem` saying
// why when it could not be written.
bool WriteManifest(const RandomBatch& batch, const std::vector<std::uint32_t>& seeds, std::string& problem);

}  // namespace cli
