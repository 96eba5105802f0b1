#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>

#include "platform/path.h"

// A tool's arguments as the bytes it receives: text goes as UTF-8, a path as its own
// bytes, so an item whose name is not UTF-8 reaches the tool as itself.
class ToolArguments {
  public:
    ToolArguments() = default;
    ToolArguments(std::initializer_list<QString> texts) {
        for (const QString& text : texts) *this << text;
    }
    ToolArguments(const QStringList& texts) {  // NOLINT: text arguments convert freely
        for (const QString& text : texts) *this << text;
    }

    ToolArguments& operator<<(const QString& text) { return *this << text.toUtf8(); }
    ToolArguments& operator<<(const Path& path) { return *this << path.bytes(); }
    ToolArguments& operator<<(const QByteArray& bytes) {
        bytes_.append(bytes);
        return *this;
    }

    const QList<QByteArray>& bytes() const { return bytes_; }
    bool operator==(const ToolArguments&) const = default;

  private:
    QList<QByteArray> bytes_;
};

// One run of a system tool: no shell, one string per argument.
struct ToolRequest {
    QString program;  // absolute path
    ToolArguments arguments;
    QString workingDirectory;         // empty: inherit the program's
    std::optional<QByteArray> input;  // written to the tool's input, which is then closed
};

struct [[nodiscard]] ToolResult {
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

// The real runner: posix_spawn with the arguments' bytes as they are. Output is drained
// while the tool runs, so a large output cannot stall it; a tool that cannot be started
// is reported, never waited for.
class ProcessToolRunner : public ToolRunner {
  public:
    ToolResult run(const ToolRequest& request) override;
};
