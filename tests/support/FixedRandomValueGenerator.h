#pragma once

#include "Throttling/RandomValueGenerator.h"

namespace tovrin::test {

// Always the value the test set.
class FixedRandomValueGenerator : public RandomValueGenerator {
public:
    explicit FixedRandomValueGenerator(double value = 0.5) : value(value) {}
    double randomValue() const override { return value; }
    double value;
};

}  // namespace tovrin::test
