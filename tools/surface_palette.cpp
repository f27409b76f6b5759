#include "surface_palette.h"

namespace library {

namespace {
struct NamedColour {
    const char* name;
    Colour colour;
};

constexpr NamedColour kPalette[] = {
    {"Skin", {226, 178, 146}},   {"Hair", {74, 50, 30}},      {"Lips", {184, 96, 92}},
    {"Mouth", {96, 36, 36}},     {"Eye white", {240, 238, 230}}, {"Iris", {70, 110, 165}},
    {"Pupil", {16, 16, 18}},     {"Nails", {236, 204, 192}},  {"Shirt", {62, 94, 150}},
    {"Trousers", {52, 54, 66}},  {"Belt", {36, 26, 20}},      {"Shoes", {44, 30, 22}},
    {"Soles", {24, 22, 20}},
};
}  // namespace

Colour StandardColour(const std::string& name) {
    for (const NamedColour& c : kPalette) {
        if (name == c.name) return c.colour;
    }
    return {128, 128, 128};
}

}  // namespace library
