#include "model/creature.h"

#include <memory>

#include "model/part_types.h"
#include "ui/message_sink.h"

namespace model {

Creature::Creature(ui::MessageSink& messages) : messages_(messages) {}

void Creature::ReportFailure(const char* caption, const std::string& path) {
    messages_.Report({ui::Severity::kError, caption, path, ""});
}

bool Creature::SetPart(const std::string& typeName, std::unique_ptr<MeshObject> part, std::int32_t panelIndex) {
    if (part == nullptr) {
        for (std::int32_t i = 0; i < parts.Count(); ++i) {
            if (parts.At(i)->objectType == typeName) return parts.RemoveAt(i);
        }
        return false;
    }
    if (!part->SetObjectType(typeName)) {
        ReportFailure("Unable to set object type", part->objectName);
        return false;
    }
    if (!part->CheckPoints()) {
        ReportFailure("Unable to calculate object type", part->objectName);
        return false;
    }
    part->panelIndex = panelIndex;
    return ConnectPart(std::move(part));
}

bool Creature::SetPart(const std::string& typeName, const MeshObject& parsed, std::int32_t panelIndex) {
    return SetPart(typeName, parsed.Copy(), panelIndex);
}

MeshObject* Creature::PartOfPanel(std::int32_t panelIndex) const {
    if (panelIndex < 0 || panelIndex >= kPartTypeCount) return nullptr;
    return LastPartOfType(panelToTypeId[static_cast<std::size_t>(panelIndex)]);
}

MeshObject* Creature::PartAt(std::int32_t position) const {
    return parts.At(position);
}

MeshObject* Creature::LastPartOfType(std::int32_t typeId) const {
    MeshObject* found = nullptr;
    for (std::int32_t i = 0; i < parts.Count(); ++i) {
        if (parts.At(i)->typeId == typeId) found = parts.At(i);
    }
    return found;
}

MeshObject* Creature::LastPartNamed(std::string_view typeName) const {
    MeshObject* found = nullptr;
    for (std::int32_t i = 0; i < parts.Count(); ++i) {
        if (parts.At(i)->objectType == typeName) found = parts.At(i);
    }
    return found;
}

}  // namespace model
