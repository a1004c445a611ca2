#include "platform/ui/webengine/EngineWebView.h"
#include "support/TestRunner.h"

// Qt WebEngine 6.4 itself deletes with a mismatched size inside libQt6WebEngineCore at its first
// page load, so only this executable lets that pass; the engine's leaks are suppressed by library
// in lsan.supp.
extern "C" const char* __asan_default_options() {
    return TOVRIN_TEST_ASAN_OPTIONS ":new_delete_type_mismatch=0";
}
extern "C" const char* __ubsan_default_options() {
    return TOVRIN_TEST_UBSAN_OPTIONS;
}
extern "C" const char* __lsan_default_options() {
    return TOVRIN_TEST_LSAN_OPTIONS;
}

int main(int argc, char** argv) {
    return tovrin::test::runTests(argc, argv, tovrin::ui::prepareWebEngineProcess);
}
