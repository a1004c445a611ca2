#pragma once

namespace tovrin {

// A random value from 0 to 1. Stateless.
class RandomValueGenerator {
public:
    virtual ~RandomValueGenerator() = default;
    virtual double randomValue() const;
};

}  // namespace tovrin
