#pragma once

#include <limits>

namespace tovrin {

// Marks an open end of a `MinMax`, at either end: the negated largest single-precision float.
inline constexpr double MinMaxUnbounded = -double(std::numeric_limits<float>::max());

// A range of two numbers in the caller's unit; either end may be open. Immutable. It converts and
// checks nothing (min may exceed max).
class MinMax {
public:
    constexpr MinMax() = default;  // open at both ends
    constexpr MinMax(double min, double max) : min_(min), max_(max) {}

    constexpr double min() const { return min_; }
    constexpr double max() const { return max_; }

private:
    double min_ = MinMaxUnbounded;
    double max_ = MinMaxUnbounded;
};

}  // namespace tovrin
