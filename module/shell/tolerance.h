// Comparison of reals as drawing values are compared: within 0.00005 they
// are equal.
#pragma once

namespace zan {

inline constexpr double kCompareTolerance = 0.00005;

// 1 when a exceeds b by more than the tolerance, -1 when it falls short by
// more, 0 when the two are within the tolerance.
inline int CompareWithTolerance(double a, double b) {
    double d = a - b;
    if (d > kCompareTolerance) return 1;
    if (d < -kCompareTolerance) return -1;
    return 0;
}

}  // namespace zan
