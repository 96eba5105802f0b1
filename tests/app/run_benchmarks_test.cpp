#include <gtest/gtest.h>

#include "run_desktidy.h"

// `make bench` runs the benchmark programs of the build folder, and only those: CMake
// keeps folders with the same prefix beside them.
TEST(RunBenchmarks, RunsTheProgramsAndSkipsFoldersAndOtherFiles) {
    TempHome home;
    for (const char* name : {"bench_a", "bench_b"}) {
        const QString program = writeFile(home / "build/bench/" + name,
                                          QByteArray("#!/bin/sh\necho ran ") + name + '\n');
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    }
    makeFolder(home / "build/bench/bench_a_autogen");
    writeFile(home / "build/bench/bench_notes.txt", "not a program");
    QProcess script;
    script.start("/bin/sh", {DESKTIDY_SOURCE_DIR "/scripts/run-benchmarks", home / "build"});
    script.waitForFinished(60000);
    EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    EXPECT_EQ(script.readAllStandardOutput(), "== bench_a\nran bench_a\n== bench_b\nran bench_b\n");
}
