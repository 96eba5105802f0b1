#pragma once

#include "platform/path_chooser.h"

// Answers the next open panel with paths given beforehand: the command line passes its
// arguments this way, tests their script. Each answer is used once; with none set the
// panel counts as cancelled. The last request is kept for inspection.
class PresetPathChooser : public PathChooser {
public:
    void setNextAnswer(std::optional<QStringList> answer) { next_ = std::move(answer); }
    std::optional<QStringList> choose(const ChooserRequest& request) override {
        lastRequest_ = request;
        auto answer = std::move(next_);
        next_.reset();
        return answer;
    }
    const ChooserRequest& lastRequest() const { return lastRequest_; }

private:
    std::optional<QStringList> next_;
    ChooserRequest lastRequest_;
};
