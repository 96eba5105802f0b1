#include "runs/run_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <charconv>
#include <cstring>

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

constexpr qint64 mapStep = 1 << 20;  // a multiple of the page size

void appendNumber(QByteArray& out, std::uint64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end - digits);
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
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            error = FileError::fromErrno(errno, historyFolder, what);
            return nullptr;
        }
        (void)::flock(fd, LOCK_EX);
        std::unique_ptr<RunJournal> journal(new RunJournal(fd, number));
        journal->path_ = path;
        // A run over several folders (file all) names each as it comes to it.
        QByteArray head = "desktidy-run 1\nkind " + header.kind + '\n';
        if (!header.folder.isEmpty()) head += "folder " + quoted(header.folder.bytes()) + '\n';
        head += "time " + time.toUTC().toString(Qt::ISODate).toLatin1() + "\npid " +
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
    unmap();
    if (fd_ >= 0) ::close(fd_);
}

void RunJournal::unmap() {
    if (map_) ::munmap(map_, mapStep);
    map_ = nullptr;
}

bool RunJournal::mapNextStep() {
    const qint64 start = map_ ? mapStart_ + mapStep : 0;
    unmap();
    if (const int e = ::posix_fallocate(fd_, start, mapStep); e != 0) {
        errno = e;
        return false;
    }
    void* map = ::mmap(nullptr, mapStep, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, start);
    if (map == MAP_FAILED) return false;
    // Made writable in one call rather than by a fault at the first store to each page,
    // which costs as much as a move every forty lines. Where this cannot be, faults do it.
    (void)::madvise(map, mapStep, MADV_POPULATE_WRITE);
    map_ = static_cast<char*>(map);
    mapStart_ = start;
    return true;
}

bool RunJournal::write(QByteArrayView lines, FileError& error) {
    const qsizetype before = waiting_.size();
    waiting_ += lines;
    return storeWaiting(before, error);
}

bool RunJournal::storeWaiting(qsizetype waitingBefore, FileError& error) {
    const QByteArray& bytes = waiting_;
    if (mapped_ && !map_ && length_ == 0 && !mapNextStep()) {
        // No mapping here (a file system without fallocate): one write(2) a step.
        mapped_ = false;
        (void)::ftruncate(fd_, 0);
    }
    bool written = true;
    if (!mapped_) {
        written = writeAll(fd_, bytes);
    } else {
        for (qsizetype done = 0; done < bytes.size();) {
            if (length_ == mapStart_ + mapStep && !mapNextStep()) {
                written = false;
                break;
            }
            const qsizetype room = qsizetype(mapStart_ + mapStep - length_);
            const qsizetype part = std::min(room, bytes.size() - done);
            std::memcpy(map_ + (length_ - mapStart_), bytes.constData() + done, size_t(part));
            length_ += part;
            done += part;
        }
    }
    if (written) {
        waiting_.resize(0);  // keeps its room, unlike clear()
        return true;
    }
    waiting_.resize(waitingBefore);
    error = FileError::fromErrno(errno, path_, QStringLiteral("write the run record"));
    return false;
}

qint64 RunJournal::noteMove(const Path& from, const Path& to, const ItemIdentity& identity,
                            FileError& error) {
    // Built in place after the waiting marks: a move costs no more than a few copies.
    const qint64 id = ++lastId_;
    const qsizetype before = waiting_.size();
    waiting_ += "move ";
    appendNumber(waiting_, std::uint64_t(id));
    waiting_ += ' ';
    appendQuoted(waiting_, from.bytes());
    waiting_ += ' ';
    appendQuoted(waiting_, to.bytes());
    waiting_ += ' ';
    appendIdentity(waiting_, identity);
    waiting_ += '\n';
    return storeWaiting(before, error) ? id : 0;
}

bool RunJournal::noteTemporary(const Path& path, FileError& error) {
    return write("temp " + quoted(path.bytes()) + '\n', error);
}

bool RunJournal::noteWritingFile(const Path& path, const QByteArray& contents, FileError& error) {
    return write("write " + quoted(path.bytes()) + ' ' + quoted(contents) + '\n', error);
}

void RunJournal::noteWroteFile(const Path& path, const ItemIdentity& identity) {
    waiting_ += "wrote " + quoted(path.bytes()) + ' ' + identityText(identity) + '\n';
}

bool RunJournal::noteRemovingFile(const Path& path, const QByteArray& contents, FileError& error) {
    return write("unlink " + quoted(path.bytes()) + ' ' + quoted(contents) + '\n', error);
}

void RunJournal::noteDone(qint64 id) {
    waiting_ += "done ";
    appendNumber(waiting_, std::uint64_t(id));
    waiting_ += '\n';
}

bool RunJournal::noteMakingFolder(const Path& path, FileError& error) {
    return write("mkdir " + quoted(path.bytes()) + '\n', error);
}

void RunJournal::noteMadeFolder(const Path& path, const ItemIdentity& identity) {
    waiting_ += "made " + quoted(path.bytes()) + ' ' + identityText(identity) + '\n';
}

bool RunJournal::noteMovedAcross(qint64 id, const ItemIdentity& identity, FileError& error) {
    return write("across " + QByteArray::number(id) + ' ' + identityText(identity) + '\n', error);
}

void RunJournal::noteRemovedFolder(const Path& path) {
    waiting_ += "rmdir " + quoted(path.bytes()) + '\n';
}

void RunJournal::noteFolder(const Path& folder) {
    waiting_ += "folder " + quoted(folder.bytes()) + '\n';
}

void RunJournal::notePlanned(qsizetype items) {
    waiting_ += "planned " + QByteArray::number(items) + '\n';
}

void RunJournal::finish(RunOutcome outcome, const QString& result) {
    if (fd_ < 0) return;
    FileError ignored;
    QByteArray end;
    if (!result.isEmpty()) end = "result " + quoted(result.toUtf8()) + '\n';
    end += outcome == RunOutcome::Done      ? "end done\n"
           : outcome == RunOutcome::Stopped ? "end stopped\n"
                                            : "end failed\n";
    (void)write(end, ignored);
    unmap();
    if (mapped_) (void)::ftruncate(fd_, length_);
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
