#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "platform/foundation/FileManager.h"

// Benchmarks run with the application object on the offscreen platform and a throwaway home.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir home;
    tovrin::FileManager::defaultManager().setHomeDirectory(home.path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
