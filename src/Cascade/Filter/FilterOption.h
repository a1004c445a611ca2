#pragma once

#include <QtGlobal>
#include <optional>
#include <vector>

namespace tovrin {

// Whether an option takes part in the search. A switched-off option keeps its values, so the
// editor shows them again when it is switched back on. A bare option has no equality.
class FilterOption {
public:
    explicit FilterOption(bool enabled) : enabled_(enabled) {}
    virtual ~FilterOption() = default;

    bool isEnabled() const { return enabled_; }

private:
    bool enabled_;
};

class ToggleFilterOption : public FilterOption {
public:
    using FilterOption::FilterOption;

    friend bool operator==(const ToggleFilterOption& a, const ToggleFilterOption& b) {
        return a.isEnabled() == b.isEnabled();
    }
    size_t hash() const { return isEnabled() ? 1 : 0; }
};

// A range; an absent bound is an open end.
class MinMaxFilterOption : public FilterOption {
public:
    MinMaxFilterOption(bool enabled, std::optional<double> min, std::optional<double> max)
        : FilterOption(enabled), min_(min), max_(max) {}

    std::optional<double> min() const { return min_; }
    std::optional<double> max() const { return max_; }

    friend bool operator==(const MinMaxFilterOption& a, const MinMaxFilterOption& b) {
        return a.isEnabled() == b.isEnabled() && a.min_ == b.min_ && a.max_ == b.max_;
    }
    size_t hash() const;

private:
    std::optional<double> min_;
    std::optional<double> max_;
};

// Codes of one managed option list in the order chosen; -1 is "Not Specified".
class OptionsFilterOption : public FilterOption {
public:
    OptionsFilterOption(bool enabled, std::vector<qint64> options)
        : FilterOption(enabled), options_(std::move(options)) {}

    const std::vector<qint64>& options() const { return options_; }

    friend bool operator==(const OptionsFilterOption& a, const OptionsFilterOption& b) {
        return a.isEnabled() == b.isEnabled() && a.options_ == b.options_;
    }
    size_t hash() const;

private:
    std::vector<qint64> options_;
};

}  // namespace tovrin
