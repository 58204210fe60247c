// The main of every benchmark program that has no reporter of its own.

#include "support/BenchSupport.h"

int main(int argc, char** argv)
{
    return kestrel::bench::RunBenchmarks(argc, argv);
}
