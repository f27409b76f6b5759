// The random figure: one entry of every part's list, never " (none) ",
// drawn from the C library's portable generator, so that one seed gives
// the same figure on every machine (the "Random Creature" button seeds it
// with the clock, batch runs with a figure's number).
#pragma once

#include <cstdint>
#include <vector>

namespace model {

// The C library's portable sample generator: r in 0 … 32767, the same
// sequence for the same seed on every platform.
class RandomGenerator {
public:
    void Seed(std::uint32_t seed) { state_ = seed; }
    int Next() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ / 65536u) % 32768u);
    }

private:
    std::uint32_t state_ = 1;
};

// For lists of entryCounts[i] entries (" (none) " first), the position
// picked in each, 1 … count − 1; 0 where a list holds " (none) " alone.
// One number is drawn per list, in list order, whatever the list holds.
std::vector<int> RandomPicks(RandomGenerator& random, const std::vector<int>& entryCounts);

}  // namespace model
