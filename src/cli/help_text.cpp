#include "cli/help_text.h"

#include "formats/mesh_exports.h"

namespace cli {

std::string ListOf(const std::vector<std::string>& items, std::string_view lastJoin) {
    std::string list;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) list += i + 1 == items.size() ? " " + std::string(lastJoin) + " " : ", ";
        list += items[i];
    }
    return list;
}

std::vector<std::string> PlacedExtensions(bool withDots) {
    std::vector<std::string> extensions;
    for (const formats::MeshExport& mesh : formats::kMeshExports) {
        if (mesh.placed) extensions.push_back(mesh.extension + (withDots ? 0 : 1));
    }
    return extensions;
}

std::vector<std::string> RiggedExtensions(bool rigged, bool withDots) {
    std::vector<std::string> extensions;
    for (const formats::MeshExport& mesh : formats::kMeshExports) {
        if (mesh.rigged == rigged) extensions.push_back(mesh.extension + (withDots ? 0 : 1));
    }
    return extensions;
}

std::string Wrapped(std::string_view lead, std::string_view text, std::size_t width) {
    std::string lines(lead);
    std::size_t column = lead.size();
    bool lineEmpty = true;  // nothing after the lead or the indent yet
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        std::string word(text.substr(0, space));
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        for (std::size_t at = word.find(formats::kNoBreak); at != std::string::npos;
             at = word.find(formats::kNoBreak)) {
            word.replace(at, formats::kNoBreak.size(), " ");
        }
        if (!lineEmpty && column + 1 + word.size() > width) {
            lines += "\n" + std::string(lead.size(), ' ');
            column = lead.size();
            lineEmpty = true;
        }
        if (!lineEmpty) {
            lines += ' ';
            ++column;
        }
        lines += word;
        column += word.size();
        lineEmpty = false;
    }
    return lines + "\n";
}

}  // namespace cli
