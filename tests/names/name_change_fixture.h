#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <ostream>

#include "names/name_change_run.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// A folder to rename in, a scripted prompter, and the log lines the run writes.
class NameChangeTest : public ::testing::Test {
  protected:
    static inline QStringList logLines;

    TempHome home;
    QString folder = home / "work";
    ScriptedPrompter prompter;
    LocalFileSystem localFiles;
    FileSystem* files = &localFiles;
    NameChangeOptions options;
    NameChangeState state;

    void SetUp() override {
        makeFolder(folder);
        logLines.clear();
        previousHandler_ = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& line) { logLines << line; });
    }
    void TearDown() override { qInstallMessageHandler(previousHandler_); }

    // Files with their own name as contents, so a test can tell that none was replaced.
    void addFiles(const QStringList& names) {
        for (const QString& name : names) writeFile(pathOf(name), name.toUtf8());
    }
    QString pathOf(const QString& name) const { return folder + u'/' + name; }

    RunResult run() {
        NameChangeRun changeNames(prompter, *files, folder, state);
        return changeNames.doChangeNames(options);
    }
    // Every name in the folder, hidden ones included, by code point.
    QStringList names() const {
        return QDir(folder).entryList(
            QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    // The notices shown after the confirmation, without their "notice|" mark.
    QStringList notices() const {
        QStringList found;
        for (const QString& call : prompter.callsStartingWith("notice|")) found << call.mid(7);
        return found;
    }

  private:
    QtMessageHandler previousHandler_ = nullptr;
};

inline const QString doneMessage = "The file and/or folder names have been changed.";
inline QString takenNotice(const QString& name) {
    return "There is already a file in this folder with the name " + name;
}
