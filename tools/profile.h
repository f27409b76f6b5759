// A smooth curve through (x, value) keys (cubic Hermite with Catmull-Rom
// slopes), for radius and offset profiles along a part.
#pragma once

#include <utility>
#include <vector>

namespace library {

class Profile {
public:
    Profile(std::vector<std::pair<double, double>> keys);  // keys in increasing x
    double operator()(double x) const;

private:
    std::vector<std::pair<double, double>> keys_;
};

}  // namespace library
