#pragma once

#include <QElapsedTimer>
#include <QTextStream>
#include <atomic>

#include "runs/run_pipeline.h"

class TerminalPrompter;

// How a run looks on the command line: its progress on the terminal's last line (when the
// error stream is one), a stop when a signal has set the flag, and its result on standard
// output once its record has ended: one line, one per folder for a run over the folder
// list ("/home/ann/Desktop: Filed 3 items into 2 folders."), or JSON.
class CommandLineFrontEnd : public RunFrontEnd {
  public:
    CommandLineFrontEnd(TerminalPrompter& prompter, QTextStream& out, const std::atomic_bool& stop,
                        bool json)
        : prompter_(prompter), out_(out), stop_(stop), json_(json) {}

    void passBegins(const QString& title, qsizetype total, bool showsItems) override;
    void step(qsizetype done, qsizetype total, const StepItem& item) override;
    void passEnds() override;
    bool stopRequested() const override { return stop_.load(std::memory_order_relaxed); }
    void runEnded(const RunEnd& end) override;

  private:
    TerminalPrompter& prompter_;
    QTextStream& out_;
    const std::atomic_bool& stop_;
    bool json_;
    QString title_;
    bool showsItems_ = true;
    QElapsedTimer sinceShown_;
};
