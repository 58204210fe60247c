// The main of every benchmark program that has no reporter of its own: headless, with the
// model's classes registered.

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "edit/ModelStartup.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts and screens for the canvas
    kestrel::InitializeModel();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
