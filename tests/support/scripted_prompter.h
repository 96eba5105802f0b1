#pragma once

#include <QString>
#include <QStringList>
#include <deque>

#include "platform/notifier.h"
#include "platform/prompter.h"

// Records every call in order as one line of text and answers from a script. With the
// script empty, a confirmation takes the default button and a file error continues.
//   calls: "confirm|Title|Message|OK", "notice|Message", "critical|Message",
//          "fileError|message", "progress|Title", "item|text", "itemVisible|0",
//          "close"
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
    void notice(const QString& message) override { calls << QStringLiteral("notice|") + message; }
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
    void openProgress(const QString& title) override {
        calls << QStringLiteral("progress|") + title;
    }
    void setProgressItemVisible(bool visible) override {
        calls << QStringLiteral("itemVisible|%1").arg(visible ? 1 : 0);
    }
    void showProgressItem(const QString& text) override { calls << QStringLiteral("item|") + text; }
    void closeProgress() override { calls << QStringLiteral("close"); }

    // The calls that start with prefix, e.g. "item|".
    QStringList callsStartingWith(const QString& prefix) const {
        QStringList found;
        for (const QString& c : calls)
            if (c.startsWith(prefix)) found << c;
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
