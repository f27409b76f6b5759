// FigureSteps: the figure's history as the pages use it. A change begins a
// step and commits it when done; a change made of others (Random Creature
// choosing a file for every part) is one step, because only the outermost
// commit keeps it. A change that spans several messages (an adjust bar from
// its press to its end-scroll code) stays open until it closes itself, or
// until any other change begins or a step is taken, which close it first.
// Whoever shows the history (the Undo and Redo buttons, the title's mark of
// unsaved changes) hears of every kept, undone or redone step, and of a save.
// The figure is modified after any of those steps, and not after a save or
// a load.
#pragma once

#include <functional>
#include <string>

#include "model/figure_history.h"

namespace model {
class Creature;
}

namespace panels {

class FigureSteps {
public:
    void Begin(const model::Creature& figure, const std::string& name) {
        Close(figure);
        if (depth_++ == 0) history.Begin(figure, name);
    }
    void Commit(const model::Creature& figure) {
        if (depth_ == 0 || --depth_ > 0) return;
        if (!history.Commit(figure)) return;
        modified_ = true;
        if (changed) changed();
    }
    // The open change: begun by its first message, later ones join it.
    void Open(const model::Creature& figure, const std::string& name) {
        if (open_) return;
        Begin(figure, name);
        open_ = true;
    }
    void Close(const model::Creature& figure) {
        if (!open_) return;
        open_ = false;
        Commit(figure);
    }
    bool Undo(model::Creature& figure) {
        Close(figure);
        return Took(history.Undo(figure));
    }
    bool Redo(model::Creature& figure) {
        Close(figure);
        return Took(history.Redo(figure));
    }
    // The figure as it is was saved, or loaded as it was saved.
    void Saved() {
        modified_ = false;
        if (changed) changed();
    }
    bool Modified() const { return modified_; }

    model::FigureHistory history;
    std::function<void()> changed;

private:
    bool Took(bool taken) {
        if (taken) modified_ = true;
        return taken;
    }

    bool modified_ = false;
    int depth_ = 0;
    bool open_ = false;
};

}  // namespace panels
