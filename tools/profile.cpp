#include "profile.h"

namespace library {

Profile::Profile(std::vector<std::pair<double, double>> keys) : keys_(std::move(keys)) {}

double Profile::operator()(double x) const {
    const auto& k = keys_;
    const std::size_t n = k.size();
    if (n == 0) return 0;
    if (x <= k.front().first) return k.front().second;
    if (x >= k.back().first) return k.back().second;
    std::size_t i = 0;
    while (i + 2 < n && x > k[i + 1].first) ++i;
    auto slope = [&](std::size_t j) {
        const std::size_t lo = j == 0 ? 0 : j - 1;
        const std::size_t hi = j + 1 >= n ? n - 1 : j + 1;
        return (k[hi].second - k[lo].second) / (k[hi].first - k[lo].first);
    };
    const double dx = k[i + 1].first - k[i].first;
    const double t = (x - k[i].first) / dx;
    const double t2 = t * t, t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * k[i].second + (t3 - 2 * t2 + t) * dx * slope(i) +
           (-2 * t3 + 3 * t2) * k[i + 1].second + (t3 - t2) * dx * slope(i + 1);
}

}  // namespace library
