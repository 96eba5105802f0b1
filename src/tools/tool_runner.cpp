#include "tools/tool_runner.h"

#include <QProcess>

ToolResult ProcessToolRunner::run(const ToolRequest& request) {
    ToolResult result;
    QProcess process;
    process.setProgram(request.program);
    process.setArguments(request.arguments);
    if (!request.workingDirectory.isEmpty()) process.setWorkingDirectory(request.workingDirectory);
    if (!request.input) process.setStandardInputFile(QProcess::nullDevice());

    process.start();
    if (!process.waitForStarted(-1)) {
        result.startError = process.errorString();
        return result;
    }
    result.started = true;
    if (request.input) {
        process.write(*request.input);
        process.closeWriteChannel();
    }
    // waitForFinished reads both channels into QProcess's buffers as data arrives.
    process.waitForFinished(-1);
    result.output = process.readAllStandardOutput();
    result.error = process.readAllStandardError();
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    return result;
}
