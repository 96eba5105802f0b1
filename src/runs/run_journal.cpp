#include "runs/run_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "runs/record_text.h"

namespace {

// Writes all of bytes, going on after a partial write or an interrupted call.
bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

int highestNumber(const Path& folder) {
    int highest = 0;
    for (const QString& name :
         QDir(QFile::decodeName(folder.bytes())).entryList({QStringLiteral("*.run")}, QDir::Files))
        highest = std::max(highest, name.chopped(4).toInt());
    return highest;
}

}  // namespace

std::unique_ptr<RunJournal> RunJournal::create(const Path& historyFolder, const RunHeader& header,
                                               const QDateTime& time, FileError& error) {
    const QString what = QStringLiteral("create the run record in");
    if (!QDir().mkpath(QFile::decodeName(historyFolder.bytes()))) {
        error = FileError::fromErrno(EACCES, historyFolder, what);
        return nullptr;
    }
    // Two programs may start a run at once: the one that creates the name first has it.
    for (int number = highestNumber(historyFolder) + 1;; ++number) {
        const Path path = historyFolder / (QByteArray::number(number) + ".run");
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            error = FileError::fromErrno(errno, historyFolder, what);
            return nullptr;
        }
        (void)::flock(fd, LOCK_EX);
        std::unique_ptr<RunJournal> journal(new RunJournal(fd, number));
        journal->path_ = path;
        QByteArray head = "desktidy-run 1\nkind " + header.kind + "\nfolder " +
                          quoted(header.folder.bytes()) + "\ntime " +
                          time.toUTC().toString(Qt::ISODate).toLatin1() + "\npid " +
                          QByteArray::number(::getpid()) + '\n';
        for (const auto& [name, value] : header.options)
            head += "option " + name + ' ' + quoted(value) + '\n';
        if (!journal->write(head, error)) {
            ::unlink(path.c_str());
            return nullptr;
        }
        return journal;
    }
}

RunJournal::~RunJournal() {
    if (fd_ >= 0) ::close(fd_);
}

bool RunJournal::write(const QByteArray& lines, FileError& error) {
    if (writeAll(fd_, waiting_ + lines)) {
        waiting_.clear();
        return true;
    }
    error = FileError::fromErrno(errno, path_, QStringLiteral("write the run record"));
    return false;
}

qint64 RunJournal::noteMove(const Path& from, const Path& to, const ItemIdentity& identity,
                            FileError& error) {
    const qint64 id = ++lastId_;
    const QByteArray line = "move " + QByteArray::number(id) + ' ' + quoted(from.bytes()) + ' ' +
                            quoted(to.bytes()) + ' ' + identityText(identity) + '\n';
    return write(line, error) ? id : 0;
}

bool RunJournal::noteTemporary(const Path& path, FileError& error) {
    return write("temp " + quoted(path.bytes()) + '\n', error);
}

void RunJournal::noteDone(qint64 id) { waiting_ += "done " + QByteArray::number(id) + '\n'; }

void RunJournal::noteMadeFolder(const Path& path, const ItemIdentity& identity, FileError& error) {
    (void)write("mkdir " + quoted(path.bytes()) + ' ' + identityText(identity) + '\n', error);
}

void RunJournal::noteRemovedFolder(const Path& path) {
    waiting_ += "rmdir " + quoted(path.bytes()) + '\n';
}

void RunJournal::noteFolder(const Path& folder) {
    waiting_ += "folder " + quoted(folder.bytes()) + '\n';
}

void RunJournal::finish(bool stopped) {
    if (fd_ < 0) return;
    FileError ignored;
    (void)write(stopped ? "end stopped\n" : "end done\n", ignored);
    (void)::fsync(fd_);
    ::close(fd_);
    fd_ = -1;
}

bool appendToRecord(const Path& recordPath, const QByteArray& line) {
    const int fd = ::open(recordPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = writeAll(fd, line + '\n') && ::fsync(fd) == 0;
    ::close(fd);
    return written;
}
