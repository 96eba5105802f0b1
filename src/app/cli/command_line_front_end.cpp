#include "app/cli/command_line_front_end.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "platform/terminal_prompter.h"

void CommandLineFrontEnd::passBegins(const QString& title, qsizetype total, bool showsItems) {
    (void)total;
    title_ = title;
    showsItems_ = showsItems;
    sinceShown_.invalidate();
}

void CommandLineFrontEnd::step(qsizetype done, qsizetype total, const StepItem& item) {
    // A few times a second: a terminal that redraws for every item slows the run down.
    if (sinceShown_.isValid() && sinceShown_.elapsed() < 100 && done < total) return;
    sinceShown_.start();
    QString line = QStringLiteral("%1 %2 of %3").arg(title_).arg(done).arg(total);
    if (showsItems_) line += QStringLiteral("  ") + item.text().left(60);
    prompter_.showStatus(line);
}

void CommandLineFrontEnd::passEnds() { prompter_.clearStatus(); }

void CommandLineFrontEnd::runEnded(const RunEnd& end) {
    if (!end.started) return;
    prompter_.clearStatus();
    if (json_) {
        QJsonObject json = reportJson(end.report);
        if (end.runNumber != 0) json.insert(QStringLiteral("record"), end.runNumber);
        if (!end.parts.isEmpty()) {
            QJsonArray folders;
            for (const FolderReport& part : end.parts) {
                QJsonObject folder = reportJson(part.report);
                folder.insert(QStringLiteral("folder"), textKeepingBytes(part.folder.bytes()));
                folders.append(folder);
            }
            json.insert(QStringLiteral("folders"), folders);
        }
        out_ << QJsonDocument(json).toJson(QJsonDocument::Compact) << Qt::endl;
        return;
    }
    if (end.parts.isEmpty()) {
        out_ << resultLine(end.report) << '\n';
    } else {
        // A run over the folder list: each folder's line, named.
        for (const FolderReport& part : end.parts)
            out_ << part.folder.display() << ": " << resultLine(part.report) << '\n';
        if (end.report.cancelled) out_ << resultLine(end.report) << '\n';
    }
    for (const QString& detail : end.report.details) out_ << "  " << detail << '\n';
    out_.flush();
}
