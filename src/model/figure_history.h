// FigureHistory: the figure's changes as steps that can be taken back and
// done again. Welding depends on the order in which parts came, so a step
// does not replay inverse operations: it keeps the parts as they were on the
// other side of the change, and taking the step puts those back bit for bit
// while keeping the ones they replace. A step keeps only the parts it
// changed when the figure kept its parts in their places (a drag on one
// part keeps that part and the parts welded to it), and the whole list when
// parts came, went or moved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/mesh_object.h"

namespace model {

class Creature;

class FigureHistory {
public:
    // At most `maxSteps` steps and `maxBytes` of kept parts; the oldest steps
    // go first, the newest step always stays.
    explicit FigureHistory(std::size_t maxSteps = 100, std::size_t maxBytes = std::size_t{256} << 20);
    ~FigureHistory();
    FigureHistory(const FigureHistory&) = delete;
    FigureHistory& operator=(const FigureHistory&) = delete;

    // Before a change: remembers the figure as it is. A step already begun
    // stays begun (a drag's later scroll messages belong to its first).
    void Begin(const Creature& figure, std::string name);
    bool Begun() const { return before_ != nullptr; }
    // After the change: keeps it as a step named as begun, dropping the steps
    // that could be redone. False, and no step, when nothing changed or
    // nothing was begun.
    bool Commit(const Creature& figure);

    bool CanUndo() const { return undone_ < steps_.size(); }
    bool CanRedo() const { return undone_ > 0; }
    // The name of the step Undo or Redo would take ("Adjust X of Upper
    // body"); empty when there is none.
    std::string UndoName() const;
    std::string RedoName() const;
    // Puts the figure back as it was before the newest step (after the
    // undone one for Redo). False when there is nothing to take. A change
    // begun and not committed is dropped first. Parts a step kept in place
    // are the same objects afterwards; after a step that kept the whole list
    // every part is a new one, so look parts up again after either.
    bool Undo(Creature& figure);
    bool Redo(Creature& figure);
    void Clear();

    std::size_t StepCount() const { return steps_.size(); }
    // The memory the kept parts take (points, normals, seams, surfaces; the
    // polygons and file bytes too where no other part shares them).
    std::size_t Bytes() const { return bytes_; }

private:
    struct State;
    struct Step;

    static void Restore(Creature& figure, State&& state);
    // Puts back what the step kept and keeps what it replaced instead; false
    // (nothing changed) when the parts it kept in place are no longer there.
    bool Swap(Creature& figure, Step& step);
    static std::size_t BytesOf(const State& state);
    void DropOldest();

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    std::vector<std::unique_ptr<Step>> steps_;  // oldest first
    std::size_t undone_ = 0;                    // steps at the end that were undone
    std::size_t bytes_ = 0;
    std::unique_ptr<std::vector<std::unique_ptr<MeshObject>>> before_;
    std::string beginName_;
};

}  // namespace model
