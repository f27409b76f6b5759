// Pieces of the commands' help texts that name the mesh formats, taken from
// the export table so that a new format shows up in every one of them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// "a", "a and b", "a, b and c", with `lastJoin` ("and", "or") before the
// last item.
std::string ListOf(const std::vector<std::string>& items, std::string_view lastJoin);

// The extensions of the mesh exports that place the figure (unit and axes),
// in the table's order, with their dots or without.
std::vector<std::string> PlacedExtensions(bool withDots);

// The extensions of the mesh exports that are rigged (`rigged`) or not, in
// the table's order, with their dots or without.
std::vector<std::string> RiggedExtensions(bool rigged, bool withDots);

// `text` broken at its spaces into lines of at most `width` columns, the
// first after `lead`, the others indented as far; every line ends in "\n".
// A no-break space (formats::kNoBreak) joins two words for good.
std::string Wrapped(std::string_view lead, std::string_view text, std::size_t width);

}  // namespace cli
