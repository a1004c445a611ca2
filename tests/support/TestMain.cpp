#include "support/TestRunner.h"

int main(int argc, char** argv) {
    return tovrin::test::runTests(argc, argv);
}
