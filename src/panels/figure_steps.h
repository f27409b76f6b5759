// FigureSteps: the figure's history as the pages use it. A change begins a
// step and commits it when done; a change made of others (Random Creature
// choosing a file for every part) is one step, because only the outermost
// commit keeps it. Whoever shows the history (the Undo and Redo buttons)
// hears of every kept, undone or redone step.
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
        if (depth_++ == 0) history.Begin(figure, name);
    }
    void Commit(const model::Creature& figure) {
        if (depth_ == 0 || --depth_ > 0) return;
        if (history.Commit(figure) && changed) changed();
    }

    model::FigureHistory history;
    std::function<void()> changed;

private:
    int depth_ = 0;
};

}  // namespace panels
