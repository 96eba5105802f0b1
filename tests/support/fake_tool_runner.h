#pragma once

#include <QList>
#include <deque>
#include <functional>

#include "tools/tool_runner.h"

// Records each request and answers with a scripted result (or a handler's).
class FakeToolRunner : public ToolRunner {
  public:
    QList<ToolRequest> requests;
    std::deque<ToolResult> results;
    std::function<ToolResult(const ToolRequest&)> handler;

    ToolResult run(const ToolRequest& request) override {
        requests.append(request);
        if (handler) return handler(request);
        if (results.empty()) return finished(0);
        ToolResult r = results.front();
        results.pop_front();
        return r;
    }

    static ToolResult finished(int exitCode, QByteArray out = {}, QByteArray err = {}) {
        ToolResult r;
        r.started = true;
        r.exitCode = exitCode;
        r.output = std::move(out);
        r.error = std::move(err);
        return r;
    }
};
