#include "runs/run_recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "runs/record_file.h"
#include "runs/run_journal.h"
#include "runs/run_undo.h"

namespace {

// The marks that say a record needs no recovery come last; its tail is enough to tell.
bool endsSettled(int fd) {
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const QByteArray tail =
        '\n' + readRecordPart(fd, std::max<qint64>(0, size - 512), 512).replace('\0', "");
    return tail.contains("\nend ") || tail.contains("\nnoticed\n") || tail.contains("\nundone-by ");
}

// The later step that moves the item on from the temporary name it was set aside under.
const RunEntry* nextStepFrom(const RunRecord& record, qsizetype index) {
    const Path& aside = record.entries.at(index).target;
    for (qsizetype i = index + 1; i < record.entries.size(); ++i) {
        const RunEntry& entry = record.entries.at(i);
        if (entry.kind == RunEntry::Kind::Move && entry.path == aside) return &entry;
    }
    return nullptr;
}

void putRight(FileSystem& files, const RunRecord& record, StoppedRun& stopped) {
    for (qsizetype i = record.entries.size() - 1; i >= 0; --i) {
        const RunEntry& entry = record.entries.at(i);
        if (entry.kind == RunEntry::Kind::Temporary) {
            if (isTemporaryCopyName(entry.path.fileName()) && files.exists(entry.path) &&
                files.removeAll(entry.path).ok())
                ++stopped.putRight;
            continue;
        }
        if (entry.kind != RunEntry::Kind::Move || !isTemporaryMoveName(entry.target.fileName()) ||
            !entry.isItem(files.status(entry.target)))
            continue;
        FileError back = files.moveNoReplace(entry.target, entry.path);
        if (back.code == EEXIST)
            if (const RunEntry* next = nextStepFrom(record, i))
                back = files.moveNoReplace(entry.target, next->target);
        if (back.ok())
            ++stopped.putRight;
        else
            stopped.leftAside << entry.target;
    }
}

QString countOf(int count, const QString& one, const QString& many) {
    return count == 1 ? one : many.arg(count);
}

}  // namespace

QString StoppedRun::line(Wording wording) const {
    QString where;
    if (!folders.isEmpty() && !folders.first().isEmpty())
        where = QStringLiteral(" in ") + folders.first().display();
    QString text = QStringLiteral("Run %1 (%2%3) stopped before its end, ")
                       .arg(number)
                       .arg(runKindName(kind, wording), where);
    const bool undoable = isUndoable(kind);
    if (undoable) {
        text += countOf(movesMade,
                        QStringLiteral("after 1 move; \u201cdesktidy undo %1\u201d puts it back."),
                        QStringLiteral("after %1 moves; \u201cdesktidy undo %2\u201d puts them "
                                       "back."))
                    .arg(number);
    } else {
        text += QStringLiteral("after %1, which cannot be undone; %2.")
                    .arg(countOf(movesMade, QStringLiteral("1 copy"), QStringLiteral("%1 copies")),
                         putRight == 0 ? QStringLiteral("it left nothing half-made")
                                       : countOf(putRight,
                                                 QStringLiteral("the half-made item it left was "
                                                                "removed or put back"),
                                                 QStringLiteral("the %1 half-made items it left "
                                                                "were removed or put back")));
    }
    if (!leftAside.isEmpty()) {
        QStringList names;
        for (const Path& path : leftAside) names << path.display();
        text += countOf(leftAside.size(),
                        QStringLiteral(" 1 item is still under a temporary name, as its name is "
                                       "taken"),
                        QStringLiteral(" %1 items are still under a temporary name, as their "
                                       "names are taken")) +
                (undoable ? QStringLiteral(" (undo puts them back): ") : QStringLiteral(": ")) +
                names.join(QStringLiteral(", ")) + u'.';
    }
    return text;
}

QList<StoppedRun> recoverStoppedRuns(FileSystem& files, const RunHistory& history) {
    QList<StoppedRun> found;
    for (const int number : history.numbers()) {
        const Path path = history.recordPath(number);
        const int fd = openRecordFile(path, O_RDWR);
        if (fd < 0) continue;
        // Holding the record's lock keeps both its writer (were it alive) and a second
        // recovery away.
        if (endsSettled(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        std::optional<QByteArray> text = readRecordFile(fd);
        std::optional<RunRecord> record;
        if (text && text->startsWith("desktidy-run 1\n")) {
            // The space the killed run had reserved ahead goes, so the record ends in its
            // lines and the marks added now follow them.
            if (const qsizetype zero = text->indexOf('\0'); zero >= 0) {
                if (::ftruncate(fd, zero) != 0) {
                    // The marks then land after the zeros, where no reader looks: the run
                    // is reported again at the next start, nothing worse.
                }
                text->truncate(zero);
            }
            record = parseRunRecord(*text, number);
        }
        if (record && record->end.isEmpty() && !record->noticed && !record->undone) {
            StoppedRun stopped{number, record->kind, record->folders};
            putRight(files, *record, stopped);
            QList<qint64> foundMade;
            stopped.movesMade = record->itemCount(files, &foundMade);
            stopped.planned = record->planned;
            QByteArray marks;
            for (const qint64 id : foundMade) marks += "done " + QByteArray::number(id) + '\n';
            (void)history.mark(number, marks + "noticed");
            found << stopped;
        }
        ::close(fd);
    }
    return found;
}
