#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "platform/notifier.h"
#include "platform/prompter.h"
#include "platform/run_observer.h"

// Records every call in order as one line of text and answers from a script. With the
// script empty, a confirmation takes the default button and a file error continues.
//   calls: "confirm|Title|Message|OK", "notice|Message", "critical|Message",
//          "fileError|message"
class ScriptedPrompter : public Prompter {
  public:
    std::deque<bool> confirmAnswers;
    std::deque<FileErrorChoice> fileErrorAnswers;
    QStringList calls;
    QStringList details;  // of each confirmation that had details, in order

    bool confirm(const QString& title, const QString& message, const QString& button) override {
        calls << QStringLiteral("confirm|%1|%2|%3").arg(title, message, button);
        if (confirmAnswers.empty()) return true;
        bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    bool confirmWithDetails(const QString& title, const QString& message, const QString& button,
                            const Details& text) override {
        details << text();
        return confirm(title, message, button);
    }
    // Called as each notice is shown, to look at the world at that moment.
    std::function<void(const QString&)> onNotice;

    void notice(const QString& message) override {
        calls << QStringLiteral("notice|") + message;
        if (onNotice) onNotice(message);
    }
    void criticalNotice(const QString& message) override {
        calls << QStringLiteral("critical|") + message;
    }
    FileErrorChoice fileError(const FileError& error) override {
        calls << QStringLiteral("fileError|") + error.message;
        if (fileErrorAnswers.empty()) return FileErrorChoice::Continue;
        FileErrorChoice answer = fileErrorAnswers.front();
        fileErrorAnswers.pop_front();
        return answer;
    }

    // The calls that start with prefix, e.g. "item|".
    QStringList callsStartingWith(const QString& prefix) const {
        QStringList found;
        for (const QString& c : calls)
            if (c.startsWith(prefix)) found << c;
        return found;
    }
};

// Records what a run tells its observer, one line per call, and stops the run when asked:
//   calls: "pass|Title|total", "item|done/total|text", "end"
// stopAfter: the step after which stopRequested() turns true (-1: never).
class RecordingObserver : public RunObserver {
  public:
    QStringList calls;
    int steps = 0;
    int stopAfter = -1;

    void passBegins(const QString& title, qsizetype total, bool) override {
        calls << QStringLiteral("pass|%1|%2").arg(title).arg(total);
    }
    void step(qsizetype done, qsizetype total, const StepItem& item) override {
        ++steps;
        calls << QStringLiteral("item|%1/%2|%3").arg(done).arg(total).arg(item.text());
    }
    void passEnds() override { calls << QStringLiteral("end"); }
    bool stopRequested() const override { return stopAfter >= 0 && steps >= stopAfter; }

    QStringList items() const {
        QStringList found;
        for (const QString& c : calls)
            if (c.startsWith(QStringLiteral("item|"))) found << c.section(u'|', 2);
        return found;
    }
};

class RecordingNotifier : public Notifier {
  public:
    QStringList posted;  // "Title|Description|Name"
    void notify(const QString& title, const QString& description, const QString& name) override {
        posted << QStringLiteral("%1|%2|%3").arg(title, description, name);
    }
};
