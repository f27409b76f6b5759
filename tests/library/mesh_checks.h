// Checks on the shape of a part read from the library, and helpers to read
// the library and assemble figures from it.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/creature.h"
#include "model/mesh_object.h"

namespace librarytest {

std::string LibraryDir();
// The object files of a part, sorted by name.
std::vector<std::string> PartFiles(const std::string& part);
std::unique_ptr<model::MeshObject> ReadPart(const std::string& path);

// Directed edges a→b that more than one quad uses (0 when all quads of the
// part are turned the same way).
int RepeatedDirectedEdges(const model::MeshObject& part);
// Points on an edge that only one quad uses: where the part is open.
std::set<int> OpenPoints(const model::MeshObject& part);
// The points of all boundary lists.
std::set<int> SeamPoints(const model::MeshObject& part);
// Volume enclosed by the part with its openings closed by a cone to the
// mean of their points; positive when the quads face outwards.
double ClosedVolume(const model::MeshObject& part);

// The part of that type in the creature, or null.
const model::MeshObject* FindPart(const model::Creature& creature, int typeId);
// Largest distance between entry e of one part's list and entry e of the
// other's, over every seam of the creature whose two parts are present.
double WidestSeamGap(const model::Creature& creature);

}  // namespace librarytest
