#include "platform/foundation/Random.h"

#include <QRandomGenerator>

namespace tovrin {

double randomUnitValue() {
    return QRandomGenerator::global()->generateDouble();
}

}  // namespace tovrin
