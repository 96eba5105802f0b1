#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// One run of a system tool: no shell, one string per argument.
struct ToolRequest {
    QString program;  // absolute path
    QStringList arguments;
    QString workingDirectory;         // empty: inherit the program's
    std::optional<QByteArray> input;  // written to the tool's input, which is then closed
};

struct ToolResult {
    bool started = false;
    QString startError;  // why the tool could not be started
    bool crashed = false;
    int exitCode = -1;
    QByteArray output;
    QByteArray error;

    bool succeeded() const { return started && !crashed && exitCode == 0; }
};

// Runs a tool to its end and collects what it wrote. Tests put a fake in its place.
class ToolRunner {
  public:
    virtual ~ToolRunner() = default;
    virtual ToolResult run(const ToolRequest& request) = 0;
};

// The real runner over QProcess. Output is drained while the tool runs, so a large
// output cannot stall it; a tool that cannot be started is reported, never waited for.
class ProcessToolRunner : public ToolRunner {
  public:
    ToolResult run(const ToolRequest& request) override;
};
