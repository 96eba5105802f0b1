#pragma once

#include <deque>

#include "platform/path_chooser.h"

// Answers the next open panel with paths given beforehand, for tests and benchmarks that
// drive the window's dialogs. Each answer is used once; with none set the
// panel counts as cancelled. The last request is kept for inspection.
class PresetPathChooser : public PathChooser {
  public:
    // Replaces any answers not yet used with this one.
    void setNextAnswer(std::optional<QList<Path>> answer) {
        answers_.clear();
        answers_.push_back(std::move(answer));
    }
    // Queues an answer after those already set, for a command that opens several panels
    // in turn (adding a pack row asks for a source, then a destination).
    void appendAnswer(std::optional<QList<Path>> answer) { answers_.push_back(std::move(answer)); }

    std::optional<QList<Path>> choose(const ChooserRequest& request) override {
        lastRequest_ = request;
        if (answers_.empty()) return std::nullopt;
        std::optional<QList<Path>> answer;
        answer.swap(answers_.front());
        answers_.pop_front();
        return answer;
    }
    const ChooserRequest& lastRequest() const { return lastRequest_; }

  private:
    std::deque<std::optional<QList<Path>>> answers_;
    ChooserRequest lastRequest_;
};
