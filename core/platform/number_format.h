// Numbers as the user's region writes them.
#pragma once

#include <string>

namespace qm {

// The user's regional number format.
class NumberFormat {
public:
    virtual ~NumberFormat() = default;
    // The value with exactly `decimals` decimals, with the regional decimal
    // symbol, digit grouping and leading zero (UTF-8).
    virtual std::string Format(double value, int decimals) const = 0;
};

}  // namespace qm
