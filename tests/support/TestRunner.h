#pragma once

#include <functional>

// The sanitizers' options for the test executables, which their mains give as the defaults
// (`__asan_default_options` and its kin); options in the environment still add to them.
#define TOVRIN_TEST_ASAN_OPTIONS "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
#define TOVRIN_TEST_UBSAN_OPTIONS "print_stacktrace=1:halt_on_error=1"
#define TOVRIN_TEST_LSAN_OPTIONS "suppressions=" TOVRIN_LSAN_SUPPRESSIONS ":print_suppressions=0"

namespace tovrin::test {

// Runs the tests of the executable in a QApplication on the offscreen platform, with the home
// folder in a temporary folder. `beforeApplication` runs first, before the QApplication exists.
int runTests(int argc, char** argv, const std::function<void()>& beforeApplication = {});

}  // namespace tovrin::test
