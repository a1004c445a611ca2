#include "Throttling/RandomValueGenerator.h"

#include "platform/foundation/Random.h"

namespace tovrin {

double RandomValueGenerator::randomValue() const {
    return randomUnitValue();
}

}  // namespace tovrin
