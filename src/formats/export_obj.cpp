// The OBJ writer: `v` and `vn` per merged vertex (one normal per vertex, so
// a corner's normal number is its vertex number; metres, +Y up, facing +Z,
// feet on y = 0), then per material a `usemtl` and its quads as
// `f a//a b//b c//c d//d` (a quad that lost one triangle as the triangle). Numbers by to_chars, so
// the user's locale never reaches the file. Both files are put together in
// atomic files and committed .mtl first; should the OBJ file fail then, the
// .mtl is taken back (an old one restored from a link kept meanwhile).
#include "formats/export_obj.h"

#include <array>
#include <charconv>
#include <cstring>
#include <string_view>
#include <unordered_set>

#include <unistd.h>

#include "formats/atomic_file.h"
#include "formats/export_modern_figure.h"
#include "formats/export_report.h"

namespace formats {

namespace {

constexpr std::string_view kComment = "# Morphwright 1.6\n";

// One line of text put together in place and handed to the file whole.
class Line {
public:
    Line& Text(std::string_view text) {
        std::memcpy(at_, text.data(), text.size());
        at_ += text.size();
        return *this;
    }
    Line& Number(float value) {
        at_ = std::to_chars(at_, end_, value).ptr;
        return *this;
    }
    Line& Index(std::uint32_t value) {
        at_ = std::to_chars(at_, end_, value).ptr;
        return *this;
    }
    Line& Char(char c) {
        *at_++ = c;
        return *this;
    }
    void WriteTo(AtomicFile& file) {
        *at_++ = '\n';
        file.Write(buffer_, static_cast<std::size_t>(at_ - buffer_));
        at_ = buffer_;
    }

private:
    // Enough for the longest line: "f" and four "n//n" of 10 digits each.
    char buffer_[128];
    char* at_ = buffer_;
    char* end_ = buffer_ + sizeof buffer_;
};

bool IsSpaceOrControl(unsigned char c) { return c <= ' ' || c == 0x7F; }

// Names OBJ readers take as one word: whitespace and control characters
// become '_', an empty name is "unnamed", and a name already given gets
// "_2", "_3", … so that every material is its own.
std::vector<std::string> MaterialNames(const std::vector<NamedMaterial>& materials) {
    std::vector<std::string> names;
    std::unordered_set<std::string> taken;
    for (const NamedMaterial& material : materials) {
        std::string name = material.name;
        for (char& c : name) {
            if (IsSpaceOrControl(static_cast<unsigned char>(c))) c = '_';
        }
        if (name.empty()) name = "unnamed";
        std::string unique = name;
        for (int n = 2; taken.count(unique) != 0; ++n) unique = name + "_" + std::to_string(n);
        taken.insert(unique);
        names.push_back(std::move(unique));
    }
    return names;
}

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void WriteMaterials(AtomicFile& file, const ModernFigure& figure, const std::vector<std::string>& names) {
    file.Write(kComment);
    Line line;
    for (std::size_t m = 0; m < names.size(); ++m) {
        file.Write("\nnewmtl ");
        file.Write(names[m]);
        file.Put('\n');
        // As the program shows it: ambient and diffuse the surface colour,
        // no highlights.
        const auto& colour = figure.materials[m].record->colour;
        for (std::string_view key : {"Ka", "Kd"}) {
            line.Text(key);
            for (float c : colour) line.Char(' ').Number(ColourComponent(c));
            line.WriteTo(file);
        }
        file.Write("Ks 0 0 0\nillum 1\n");
    }
}

void WriteObject(AtomicFile& file, const ModernFigure& figure, const std::vector<std::string>& names,
                 const std::string& libraryName, const std::string& objectName) {
    file.Write(kComment);
    file.Write("mtllib ");
    file.Write(libraryName);
    file.Write("\no ");
    file.Write(objectName);
    file.Put('\n');
    Line line;
    const auto count = static_cast<std::uint32_t>(figure.VertexCount());
    for (std::uint32_t v = 0; v < count; ++v) {
        const float* xyz = figure.Position(v);
        line.Text("v ").Number(xyz[0]).Char(' ').Number(xyz[1]).Char(' ').Number(xyz[2]).WriteTo(file);
    }
    for (std::uint32_t v = 0; v < count; ++v) {
        const float* n = figure.Normal(v);
        line.Text("vn ").Number(n[0]).Char(' ').Number(n[1]).Char(' ').Number(n[2]).WriteTo(file);
    }
    std::array<std::array<std::uint32_t, 3>, 2> triangles;
    for (std::size_t m = 0; m < names.size(); ++m) {
        file.Write("usemtl ");
        file.Write(names[m]);
        file.Put('\n');
        for (std::uint32_t f : figure.materials[m].faces) {
            const auto writeFace = [&](const auto& corners) {
                line.Text("f");
                for (std::uint32_t vertex : corners) line.Char(' ').Index(vertex + 1).Text("//").Index(vertex + 1);
                line.WriteTo(file);
            };
            if (figure.WholeQuad(f)) {
                writeFace(figure.Corners(f));
            } else if (figure.Triangles(f, triangles) == 1) {
                writeFace(triangles[0]);
            }
        }
    }
}

// An existing file kept under a second name while it is being replaced, so
// that it can be put back.
class KeptFile {
public:
    explicit KeptFile(const std::string& path) : path_(path) {
        if (::access(path.c_str(), F_OK) != 0) return;
        existed_ = true;
        std::string pattern = path + ".old-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) return;
        ::close(fd);
        ::unlink(pattern.c_str());
        if (::link(path.c_str(), pattern.c_str()) == 0) kept_ = pattern;
    }
    ~KeptFile() {
        if (!kept_.empty()) ::unlink(kept_.c_str());
    }
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

    // The file as it was before: the old one back, or none.
    void Restore() {
        if (!kept_.empty()) {
            if (::rename(kept_.c_str(), path_.c_str()) == 0) kept_.clear();
        } else if (!existed_) {
            ::unlink(path_.c_str());
        }
    }

private:
    std::string path_;
    std::string kept_;
    bool existed_ = false;
};

}  // namespace

std::string MaterialLibraryPath(const std::string& objPath) {
    const std::size_t slash = objPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : objPath.substr(0, slash + 1);
    const std::string library = folder + FileStem(objPath) + ".mtl";
    return library == objPath ? objPath + ".mtl" : library;
}

bool ExportObj(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
               const ExportSettings& settings) {
    ModernFigure figure;
    if (!figure.Prepare(creature, messages, settings, FileFrame::kMetresYUp)) return false;
    const std::vector<std::string> names = MaterialNames(figure.materials);
    const std::string libraryPath = MaterialLibraryPath(path);

    AtomicFile library(libraryPath);
    AtomicFile object(path);
    if (!library.Open() || !object.Open()) {
        ReportWriteFailure(messages, library.Failure().empty() ? object.Failure() : library.Failure());
        return false;
    }
    WriteMaterials(library, figure, names);
    std::string objectName = FileStem(path);
    for (char& c : objectName) {
        if (IsSpaceOrControl(static_cast<unsigned char>(c))) c = '_';
    }
    WriteObject(object, figure, names, FileName(libraryPath), objectName.empty() ? "figure" : objectName);

    KeptFile oldLibrary(libraryPath);
    if (!library.Commit()) {
        ReportWriteFailure(messages, library.Failure());
        return false;
    }
    if (!object.Commit()) {
        oldLibrary.Restore();
        ReportWriteFailure(messages, object.Failure());
        return false;
    }
    ReportSaved(messages);
    return true;
}

}  // namespace formats
