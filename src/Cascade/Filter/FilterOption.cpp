#include "Cascade/Filter/FilterOption.h"

#include <functional>

namespace tovrin {

namespace {

size_t boundHash(std::optional<double> bound) {
    return bound ? std::hash<double>{}(*bound) : 0;
}

}  // namespace

size_t MinMaxFilterOption::hash() const {
    return size_t(isEnabled()) ^ 3 * boundHash(min_) ^ 5 * boundHash(max_);
}

size_t OptionsFilterOption::hash() const {
    size_t listHash = options_.size();
    for (qint64 code : options_) listHash = listHash * 31 + std::hash<qint64>{}(code);
    return size_t(isEnabled()) ^ 3 * listHash;
}

}  // namespace tovrin
