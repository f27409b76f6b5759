#include "model/figure_history.h"

#include <cstring>
#include <utility>

#include "model/creature.h"

namespace model {

namespace {

bool SameFloats(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

template <typename T>
bool SameArray(const SharedArray<T>& a, const SharedArray<T>& b) {
    return (a.empty() && b.empty()) || a.SharesWith(b);
}

// The same file in the same slot: the part stayed where it was.
bool SamePlace(const MeshObject& a, const MeshObject& b) {
    return a.objectName == b.objectName && a.objectType == b.objectType && a.panelIndex == b.panelIndex &&
           SameArray(a.polygons, b.polygons) && SameArray(a.fileImage, b.fileImage);
}

// Bit for bit what a change can touch: the points, the normals, the settings.
bool SamePart(const MeshObject& a, const MeshObject& b) {
    return SamePlace(a, b) && a.typeId == b.typeId && SameFloats(a.points, b.points) &&
           SameFloats(a.restPoints, b.restPoints) && SameFloats(a.normals, b.normals) &&
           std::memcmp(&a.settings, &b.settings, sizeof a.settings) == 0;
}

// The memory a kept part holds. The polygons and file bytes count only for
// parts kept with the whole list: parts that stayed in place share them with
// the figure, while parts that came or went may be their last holders (one
// array kept by several steps counts in each, which errs on the safe side).
std::size_t BytesOf(const MeshObject& part, bool withSharedArrays) {
    std::size_t bytes = sizeof part + sizeof(float) * (part.points.size() + part.restPoints.size() + part.normals.size());
    for (const auto& list : part.boundaryLists) bytes += sizeof(std::uint16_t) * list.size();
    for (const SurfaceRecord& surface : part.surfaces) bytes += sizeof surface + surface.name.size();
    if (withSharedArrays) bytes += sizeof(Polygon) * part.polygons.size() + part.fileImage.size();
    return bytes;
}

}  // namespace

struct FigureHistory::State {
    bool whole = false;                   // every part in list order
    std::vector<std::int32_t> positions;  // else where each kept part stands
    std::vector<std::unique_ptr<MeshObject>> parts;
};

std::size_t FigureHistory::BytesOf(const State& state) {
    std::size_t bytes = sizeof(std::int32_t) * state.positions.size();
    for (const auto& part : state.parts) bytes += model::BytesOf(*part, state.whole);
    return bytes;
}

// A step keeps one side of its change: the figure before it while it can
// be undone, after it while it can be redone. Taking it swaps the two.
struct FigureHistory::Step {
    std::string name;
    State kept;
    std::size_t bytes = 0;
};

FigureHistory::FigureHistory(std::size_t maxSteps, std::size_t maxBytes)
    : maxSteps_(maxSteps < 1 ? 1 : maxSteps), maxBytes_(maxBytes) {}

FigureHistory::~FigureHistory() = default;

void FigureHistory::Begin(const Creature& figure, std::string name) {
    if (before_ != nullptr) return;
    before_ = std::make_unique<std::vector<std::unique_ptr<MeshObject>>>();
    for (const MeshObject& part : figure.parts) before_->push_back(part.Copy());
    beginName_ = std::move(name);
}

bool FigureHistory::Commit(const Creature& figure) {
    if (before_ == nullptr) return false;
    std::vector<std::unique_ptr<MeshObject>> before = std::move(*before_);
    before_.reset();
    auto step = std::make_unique<Step>();
    step->name = std::move(beginName_);

    const PartList& now = figure.parts;
    bool samePlaces = static_cast<std::int32_t>(before.size()) == now.Count();
    for (std::size_t i = 0; samePlaces && i < before.size(); ++i) {
        samePlaces = SamePlace(*before[i], *now.At(static_cast<std::int32_t>(i)));
    }
    if (samePlaces) {
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (SamePart(*before[i], *now.At(static_cast<std::int32_t>(i)))) continue;
            step->kept.positions.push_back(static_cast<std::int32_t>(i));
            step->kept.parts.push_back(std::move(before[i]));
        }
        if (step->kept.parts.empty()) return false;
    } else {
        step->kept.whole = true;
        step->kept.parts = std::move(before);
    }
    step->bytes = BytesOf(step->kept);

    // A new change after an undo: what was undone cannot come back.
    while (undone_ > 0) {
        bytes_ -= steps_.back()->bytes;
        steps_.pop_back();
        --undone_;
    }
    bytes_ += step->bytes;
    steps_.push_back(std::move(step));
    while (steps_.size() > 1 && (steps_.size() > maxSteps_ || bytes_ > maxBytes_)) DropOldest();
    return true;
}

void FigureHistory::DropOldest() {
    bytes_ -= steps_.front()->bytes;
    steps_.erase(steps_.begin());
}

std::string FigureHistory::UndoName() const {
    return CanUndo() ? steps_[steps_.size() - 1 - undone_]->name : std::string();
}

std::string FigureHistory::RedoName() const { return CanRedo() ? steps_[steps_.size() - undone_]->name : std::string(); }

bool FigureHistory::Undo(Creature& figure) {
    before_.reset();
    if (!CanUndo() || !Swap(figure, *steps_[steps_.size() - 1 - undone_])) return false;
    ++undone_;
    return true;
}

bool FigureHistory::Redo(Creature& figure) {
    before_.reset();
    if (!CanRedo() || !Swap(figure, *steps_[steps_.size() - undone_])) return false;
    --undone_;
    return true;
}

bool FigureHistory::Swap(Creature& figure, Step& step) {
    // Parts kept in place go back only onto the very parts they were: a
    // figure changed without a step (which the pages never do) is left alone.
    for (std::size_t k = 0; !step.kept.whole && k < step.kept.parts.size(); ++k) {
        const MeshObject* part = figure.parts.At(step.kept.positions[k]);
        if (part == nullptr || !SamePlace(*part, *step.kept.parts[k])) return false;
    }
    // The figure as it is now, where the step will put back what it kept.
    State now;
    now.whole = step.kept.whole;
    now.positions = step.kept.positions;
    if (now.whole) {
        for (const MeshObject& part : figure.parts) now.parts.push_back(part.Copy());
    } else {
        for (std::int32_t position : now.positions) {
            if (const MeshObject* part = figure.parts.At(position)) now.parts.push_back(part->Copy());
        }
    }
    Restore(figure, std::move(step.kept));
    step.kept = std::move(now);
    bytes_ -= step.bytes;
    step.bytes = BytesOf(step.kept);
    bytes_ += step.bytes;
    return true;
}

void FigureHistory::Clear() {
    steps_.clear();
    undone_ = 0;
    bytes_ = 0;
    before_.reset();
}

void FigureHistory::Restore(Creature& figure, State&& state) {
    if (state.whole) {
        while (figure.parts.Count() > 0) figure.parts.RemoveAt(figure.parts.Count() - 1);
        for (auto& part : state.parts) figure.parts.Append(std::move(part));
        return;
    }
    // The parts stay where they are, so whatever points at them still does.
    for (std::size_t k = 0; k < state.parts.size(); ++k) {
        if (MeshObject* part = figure.parts.At(state.positions[k])) part->AssignFrom(*state.parts[k]);
    }
}

}  // namespace model
