#pragma once

#include <functional>

namespace tovrin::test {

// Runs the tests of the executable in a QApplication on the offscreen platform, with the home
// folder in a temporary folder. `beforeApplication` runs first, before the QApplication exists.
int runTests(int argc, char** argv, const std::function<void()>& beforeApplication = {});

}  // namespace tovrin::test
