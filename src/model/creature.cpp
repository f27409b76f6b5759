#include "model/creature.h"

#include <memory>

#include "model/part_types.h"
#include "ui/message_sink.h"

namespace model {

Creature::Creature(ui::MessageSink& messages) : messages_(messages) {}

void Creature::ReportFailure(const char* caption, const std::string& path) {
    messages_.ShowMessage(path, caption, ui::Icon::Exclamation, nullptr);
}

bool Creature::SetPart(const std::string& typeName, std::unique_ptr<MeshObject> part, std::int32_t panelIndex) {
    if (part == nullptr) {
        for (std::int32_t i = 0; i < parts.Count(); ++i) {
            auto* old = static_cast<MeshObject*>(parts.ItemAt(i));
            if (old->objectType == typeName) {
                parts.RemoveAt(i);
                parts.RebuildIndex();
                return true;
            }
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
    return ConnectPart(part.release());
}

bool Creature::SetPart(const std::string& typeName, const MeshObject& parsed, std::int32_t panelIndex) {
    return SetPart(typeName, parsed.Copy(), panelIndex);
}

MeshObject* Creature::SelectPart(std::int32_t panelIndex) {
    ClearSelection();
    if (panelIndex < 0 || panelIndex >= kPartTypeCount) return nullptr;
    const int typeId = panelToTypeId[static_cast<std::size_t>(panelIndex)];
    ListItem* item = parts.first;
    for (std::int32_t i = 0; i < parts.Count(); ++i, item = item->next) {
        auto* part = static_cast<MeshObject*>(item);
        if (part->typeId == typeId) {
            part->selected = 1;
            return part;
        }
    }
    return nullptr;
}

void Creature::ClearSelection() {
    ListItem* item = parts.first;
    for (std::int32_t i = 0; i < parts.Count(); ++i, item = item->next) {
        static_cast<MeshObject*>(item)->selected = 0;
    }
}

bool Creature::ApplyPan() {
    ListItem* item = parts.first;
    for (std::int32_t i = 0; i < parts.Count(); ++i, item = item->next) {
        auto* part = static_cast<MeshObject*>(item);
        part->translation[0] = panX;
        part->translation[1] = panY;
    }
    return true;
}

MeshObject* Creature::PartAt(std::int32_t position) const {
    if (position < 0 || position >= parts.Count() || position >= parts.indexSize) return nullptr;
    return static_cast<MeshObject*>(parts.index[static_cast<std::size_t>(position)]);
}

MeshObject* Creature::LastPartOfType(std::int32_t typeId) const {
    MeshObject* found = nullptr;
    ListItem* item = parts.first;
    for (std::int32_t i = 0; i < parts.Count(); ++i, item = item->next) {
        auto* part = static_cast<MeshObject*>(item);
        if (part->typeId == typeId) found = part;
    }
    return found;
}

MeshObject* Creature::LastPartNamed(std::string_view typeName) const {
    MeshObject* found = nullptr;
    ListItem* item = parts.first;
    for (std::int32_t i = 0; i < parts.Count(); ++i, item = item->next) {
        auto* part = static_cast<MeshObject*>(item);
        if (part->objectType == typeName) found = part;
    }
    return found;
}

}  // namespace model
