// Reading object files (*.mwo) into parts. Object files come from anywhere,
// so every length and index is checked against the bytes that are really
// there; a file that does not hold together is refused whole, with the
// reason and the chunk that was refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace model {
class Creature;
class MeshObject;
}  // namespace model

namespace formats {

// Why the reader refused an object file.
enum class ReadError {
    kNone,
    kCannotOpen,
    kCannotRead,
    kBadMagic,
    kTooLarge,
    kOutOfMemory,
    kCutChunkHeader,
    kChunkPastEnd,
    kSecondHeader,
    kShortHeader,
    kTooManyPoints,
    kTooManyPolygons,
    kTooManySurfaces,
    kShortPoints,
    kShortNormals,
    kShortPolygons,
    kPolygonPointOutOfRange,
    kPolygonSurfaceOutOfRange,
    kBoundaryPointOutOfRange,
    kNotRegularFile,
};

// A short text for a library author ("a chunk runs past the end of the file").
const char* ReadErrorText(ReadError error);

struct ObjectRefusal {
    ReadError error = ReadError::kNone;
    std::size_t at = 0;  // the byte offset of the chunk refused; 0 for the file as a whole
    // For a command line: the system's words where it gave them ("No such
    // file or directory"), else the reader's text.
    std::string reason;
};

// The part an object file holds, named after `path` (project files keep
// paths with backslashes; they are read as separators). Null when the file
// cannot be read or is not a sound object file, `why` saying why.
std::unique_ptr<model::MeshObject> ReadObjectFile(const std::string& path, ObjectRefusal& why);

// The part an object file's bytes already in memory hold, unnamed. On
// success every index in its polygons and boundary lists is inside its
// array; null when refused, `why` saying why.
std::unique_ptr<model::MeshObject> ReadObjectImage(std::vector<unsigned char> image, ObjectRefusal& why);

// Reads the file and puts its part into the figure as a part of that type
// (replacing one of the same type), as "Main", "Load Project" and mwbatch
// do: a file that cannot be read is said in an "Unable to add object" box
// naming it, through the figure's messages. False when nothing was added.
bool SetPartFromFile(model::Creature& creature, const std::string& typeName, const std::string& path,
                     std::int32_t panelIndex);

}  // namespace formats
