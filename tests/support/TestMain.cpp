#include "support/TestRunner.h"

extern "C" const char* __asan_default_options() {
    return TOVRIN_TEST_ASAN_OPTIONS;
}
extern "C" const char* __ubsan_default_options() {
    return TOVRIN_TEST_UBSAN_OPTIONS;
}
extern "C" const char* __lsan_default_options() {
    return TOVRIN_TEST_LSAN_OPTIONS;
}

int main(int argc, char** argv) {
    return tovrin::test::runTests(argc, argv);
}
