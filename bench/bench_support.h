#pragma once

#include <QString>
#include <chrono>
#include <cstdio>

// Wall-clock seconds of one call.
template <typename F>
double secondsOf(F&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The process's peak resident memory so far, in MB (VmHWM).
double peakResidentMegabytes();

// Prints "name value" on its own line, the form the benchmark scripts read.
void report(const char* name, double value);

// A fresh folder for a benchmark's tree under $DESKTIDY_BENCH_DIR or the temp folder.
QString benchmarkFolder(const char* name);
