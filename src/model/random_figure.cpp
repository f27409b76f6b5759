#include "model/random_figure.h"

namespace model {

std::vector<int> RandomPicks(RandomGenerator& random, const std::vector<int>& entryCounts) {
    std::vector<int> picks;
    picks.reserve(entryCounts.size());
    for (int n : entryCounts) {
        const int r = random.Next();
        picks.push_back(n < 2 ? 0 : r % (n - 1) + 1);
    }
    return picks;
}

}  // namespace model
