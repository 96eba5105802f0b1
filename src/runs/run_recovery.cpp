#include "runs/run_recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>

#include "runs/journaling_file_system.h"

namespace {

// The marks that say a record needs no recovery come last; its tail is enough to tell.
bool endsSettled(const Path& recordPath) {
    QFile file(QFile::decodeName(recordPath.bytes()));
    if (!file.open(QIODevice::ReadOnly)) return true;
    if (file.size() > 512) file.seek(file.size() - 512);
    const QByteArray tail = '\n' + file.readAll().replace('\0', "");
    return tail.contains("\nend ") || tail.contains("\nnoticed\n") || tail.contains("\nundone-by ");
}

int putRight(FileSystem& files, const RunRecord& record) {
    int count = 0;
    for (auto entry = record.entries.crbegin(); entry != record.entries.crend(); ++entry) {
        if (entry->kind == RunEntry::Kind::Temporary) {
            if (isTemporaryCopyName(entry->path.fileName()) && files.exists(entry->path) &&
                files.removeAll(entry->path).ok())
                ++count;
            continue;
        }
        if (entry->kind != RunEntry::Kind::Move || !isTemporaryMoveName(entry->target.fileName()))
            continue;
        const std::optional<FileStatus> status = files.status(entry->target);
        if (status && ItemIdentity{status->device, status->inode} == entry->identity &&
            files.moveNoReplace(entry->target, entry->path).ok())
            ++count;
    }
    return count;
}

// The moves marked done, and those whose mark the kill took but whose item is at its
// target.
int movesMade(FileSystem& files, const RunRecord& record) {
    int made = 0;
    for (const RunEntry& entry : record.entries) {
        if (entry.kind != RunEntry::Kind::Move) continue;
        const std::optional<FileStatus> status =
            entry.done ? std::nullopt : files.status(entry.target);
        made +=
            entry.done || (status && ItemIdentity{status->device, status->inode} == entry.identity);
    }
    return made;
}

}  // namespace

QString StoppedRun::line() const {
    QString where;
    if (!folders.isEmpty() && !folders.first().isEmpty())
        where = QStringLiteral(" in ") + folders.first().display();
    return QStringLiteral(
               "Run %1 (%2%3) stopped before its end, after %4 moves; "
               "\u201cdesktidy undo %1\u201d puts them back.")
        .arg(number)
        .arg(QString::fromUtf8(kind), where)
        .arg(movesMade);
}

QList<StoppedRun> recoverStoppedRuns(FileSystem& files, const RunHistory& history) {
    QList<StoppedRun> found;
    for (const int number : history.numbers()) {
        const Path path = history.recordPath(number);
        if (endsSettled(path)) continue;
        // Holding the record's lock keeps both its writer (were it alive) and a second
        // recovery away.
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        QFile file;
        QByteArray text;
        if (file.open(::dup(fd), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
            text = file.readAll();
        // The space the killed run had reserved ahead goes, so the record ends in its lines.
        if (const qsizetype zero = text.indexOf('\0'); zero >= 0) {
            (void)::ftruncate(fd, zero);
            text.truncate(zero);
        }
        const std::optional<RunRecord> record = parseRunRecord(text, number);
        // Killed before its head was written: it did nothing.
        if (!record) (void)::unlink(path.c_str());
        if (record && record->end.isEmpty() && !record->noticed && !record->undone) {
            StoppedRun stopped{number, record->kind, record->folders};
            stopped.putRight = putRight(files, *record);
            stopped.movesMade = movesMade(files, *record);
            stopped.planned = record->planned;
            (void)history.mark(number, "noticed");
            found << stopped;
        }
        ::close(fd);
    }
    return found;
}
