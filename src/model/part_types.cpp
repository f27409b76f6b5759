#include "model/part_types.h"

namespace model {

const std::array<std::string_view, kPartTypeCount> partTypeNames = {
    "Head",          "Left hand",  "Right hand",  "Left arm",   "Right arm", "Left forearm",
    "Right forearm", "Upper body", "Stomach",     "Left leg",   "Right leg", "Left thigh",
    "Right thigh",   "Left foot",  "Right foot",  "Left eye",   "Right eye", "Nose",
    "Mouth",         "Left ear",   "Right ear",   "Neck",
};

const std::array<std::string_view, kPartTypeCount> panelOrder = {
    "Head",      "Left ear",     "Right ear", "Left eye",     "Right eye",     "Nose",
    "Mouth",     "Neck",         "Upper body", "Left arm",    "Left forearm",  "Left hand",
    "Right arm", "Right forearm", "Right hand", "Stomach",    "Left thigh",    "Left leg",
    "Left foot", "Right thigh",  "Right leg", "Right foot",
};

const std::array<int, kPartTypeCount> panelToTypeId = {
    0, 19, 20, 15, 16, 17, 18, 21, 7, 3, 5, 1, 4, 6, 2, 8, 11, 9, 13, 12, 10, 14,
};

int TypeIdOfName(std::string_view name) {
    for (int t = 0; t < kPartTypeCount; ++t) {
        if (partTypeNames[static_cast<std::size_t>(t)] == name) return t;
    }
    return -1;
}

int PanelIndexOfTypeId(int typeId) {
    for (int k = 0; k < kPartTypeCount; ++k) {
        if (panelToTypeId[static_cast<std::size_t>(k)] == typeId) return k;
    }
    return -1;
}

std::string MirrorPartName(std::string_view name) {
    constexpr std::string_view left = "Left ";
    constexpr std::string_view right = "Right ";
    if (name.starts_with(left)) return std::string(right) + std::string(name.substr(left.size()));
    if (name.starts_with(right)) return std::string(left) + std::string(name.substr(right.size()));
    return {};
}

int MirrorPanelIndex(int panelIndex) {
    if (panelIndex < 0 || panelIndex >= kPartTypeCount) return -1;
    const std::string other = MirrorPartName(panelOrder[static_cast<std::size_t>(panelIndex)]);
    for (int k = 0; k < kPartTypeCount; ++k) {
        if (!other.empty() && panelOrder[static_cast<std::size_t>(k)] == other) return k;
    }
    return -1;
}

}  // namespace model
