#pragma once

namespace tovrin {

// A uniformly distributed value from 0 to 1, from the system's random source. Safe on any thread.
double randomUnitValue();

}  // namespace tovrin
