#include "platform/ui/webengine/EngineWebView.h"
#include "support/TestRunner.h"

int main(int argc, char** argv) {
    return tovrin::test::runTests(argc, argv, tovrin::ui::prepareWebEngineProcess);
}
