#include "runs/run_journal.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <time.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "platform/descriptor_io.h"
#include "platform/disk_changes.h"
#include "runs/record_text.h"

namespace {

constexpr qint64 mapStep = 1 << 20;  // a multiple of the page size

void appendNumber(QByteArray& out, std::uint64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end - digits);
}

int highestNumber(const Path& folder) {
    const QList<int> numbers = runNumbersIn(folder);
    return numbers.isEmpty() ? 0 : *std::max_element(numbers.begin(), numbers.end());
}

// A new file in folder that no other process takes for a record: without a name where
// the file system can (O_TMPFILE), else under a hidden name that is no record's.
int createUnseen(const Path& folder, bool unnamed, Path& hiddenName) {
    hiddenName = Path();
    if (unnamed) return ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    for (int attempt = 0; attempt < 100; ++attempt) {
        hiddenName = folder / (".new-" + QByteArray::number(::getpid()) + '-' +
                               QByteArray::number(QRandomGenerator::global()->generate64(), 16));
        const int fd =
            ::open(hiddenName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives the file its record's name; fails with EEXIST when another run has that name.
int publish(int fd, const Path& hiddenName, const Path& path) {
    if (hiddenName.isEmpty()) {
        char link[48];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        return ::linkat(AT_FDCWD, link, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
    }
    if (::renameat2(AT_FDCWD, hiddenName.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // No renameat2 here: link (which refuses a taken name), then drop the hidden name.
    if (::link(hiddenName.c_str(), path.c_str()) != 0) return -1;
    (void)::unlink(hiddenName.c_str());
    return 0;
}

FileError numbersAtTheirEnd(const Path& historyFolder) {
    FileError error;
    error.code = EOVERFLOW;
    error.path = historyFolder;
    error.message = QStringLiteral(
                        "Could not create a run record: the run numbers in %1 have reached "
                        "their end (%2). Move the records out of it to start again at 1.")
                        .arg(historyFolder.display())
                        .arg(maxRunNumber);
    return error;
}

}  // namespace

std::unique_ptr<RunJournal> RunJournal::create(const Path& historyFolder, const RunHeader& header,
                                               const QDateTime& time, FileError& error,
                                               qint64 limit) {
    const QString what = QStringLiteral("create the run record in");
    if (!QDir().mkpath(QFile::decodeName(historyFolder.bytes()))) {
        error = FileError::fromErrno(EACCES, historyFolder, what);
        return nullptr;
    }
    // A run over several folders (file all) names each as it comes to it.
    QByteArray head = "desktidy-run 1\nkind " + header.kind + '\n';
    if (!header.folder.isEmpty()) head += "folder " + quoted(header.folder.bytes()) + '\n';
    head += "time " + time.toUTC().toString(Qt::ISODate).toLatin1() + "\npid " +
            QByteArray::number(::getpid()) + '\n';
    for (const auto& [name, value] : header.options)
        head += "option " + name + ' ' + quoted(value) + '\n';

    // Made unseen, locked and given its head, and only then given its number: another
    // program's recovery never meets a record that is empty or unlocked.
    for (const bool unnamed : {true, false}) {
        Path hiddenName;
        const int fd = createUnseen(historyFolder, unnamed, hiddenName);
        if (fd < 0) {
            if (unnamed) continue;
            error = FileError::fromErrno(errno, historyFolder, what);
            return nullptr;
        }
        (void)::flock(fd, LOCK_EX);
        std::unique_ptr<RunJournal> journal(new RunJournal(fd, limit));
        const auto discard = [&] {
            if (!hiddenName.isEmpty()) (void)::unlink(hiddenName.c_str());
        };
        if (!journal->write(head, error)) {
            discard();
            error = FileError::fromErrno(error.code, historyFolder, what);
            return nullptr;
        }
        // Two programs may start a run at once: the one that takes the name first has it.
        int published = -1;
        int number = highestNumber(historyFolder) + 1;
        for (; number <= maxRunNumber; ++number) {
            const Path path = historyFolder / (QByteArray::number(number) + ".run");
            published = publish(fd, hiddenName, path);
            if (published == 0 || errno != EEXIST) break;
        }
        if (published == 0) {
            countDiskChange();
            journal->number_ = number;
            journal->path_ = historyFolder / (QByteArray::number(number) + ".run");
            return journal;
        }
        const int reason = errno;
        discard();
        if (number > maxRunNumber) {
            error = numbersAtTheirEnd(historyFolder);
            return nullptr;
        }
        // Where a file without a name cannot be given one (no /proc), a hidden name can.
        if (unnamed) continue;
        error = FileError::fromErrno(reason, historyFolder, what);
        return nullptr;
    }
    return nullptr;
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
        if (::ftruncate(fd_, 0) != 0) {
            // Nothing was mapped, so nothing was written: the lines start at 0 all the same.
        }
    }
    bool written = true;
    if (length_ + bytes.size() > limit_) {
        errno = EFBIG;
        written = false;
    } else if (!mapped_) {
        if (const int failed = writeAll(fd_, bytes); failed != 0) {
            errno = failed;
            written = false;
        } else {
            length_ += bytes.size();
        }
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
        countDiskChange();
        return true;
    }
    waiting_.resize(waitingBefore);
    error = FileError::fromErrno(errno, path_, QStringLiteral("write the run record"));
    return false;
}

void RunJournal::appendClockIfMoved() {
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    // Rounded up to the millisecond: a line a millisecond at most, and never before now.
    const qint64 milliseconds = qint64(now.tv_sec) * 1000 + (now.tv_nsec + 999'999) / 1'000'000;
    if (milliseconds == lastClock_) return;
    lastClock_ = milliseconds;
    const int thousandths = int(milliseconds % 1000);
    const char fraction[] = {'.',
                             char('0' + thousandths / 100),
                             char('0' + thousandths / 10 % 10),
                             char('0' + thousandths % 10),
                             '0',
                             '0',
                             '0',
                             '0',
                             '0',
                             '0',
                             '\n'};
    waiting_ += "clock ";
    appendNumber(waiting_, std::uint64_t(milliseconds / 1000));
    waiting_.append(fraction, sizeof fraction);
}

qint64 RunJournal::noteStep(const char* key, const Path& from, const Path& to,
                            const ItemIdentity& identity, FileError& error) {
    // Built in place after the waiting marks, in one piece: a move costs no more than a
    // few copies.
    const qsizetype before = waiting_.size();
    appendClockIfMoved();
    const qint64 id = ++lastId_;
    const qsizetype keyLength = qsizetype(std::strlen(key));
    const qsizetype limit = keyLength + 1 + 20 + 1 + quotedLimit(from.bytes().size()) + 1 +
                            quotedLimit(to.bytes().size()) + 1 + identityLimit + 1;
    appendWritten(waiting_, limit, [&](char* out) {
        out = std::copy_n(key, keyLength, out);
        *out++ = ' ';
        out = std::to_chars(out, out + 20, std::uint64_t(id)).ptr;
        *out++ = ' ';
        out = writeQuoted(out, from.bytes());
        *out++ = ' ';
        out = writeQuoted(out, to.bytes());
        *out++ = ' ';
        out = writeIdentity(out, identity);
        *out++ = '\n';
        return out;
    });
    if (storeWaiting(before, error)) return id;
    lastClock_ = 0;  // the clock line went with it
    return 0;
}

qint64 RunJournal::noteMove(const Path& from, const Path& to, const ItemIdentity& identity,
                            FileError& error) {
    return noteStep("move", from, to, identity, error);
}

qint64 RunJournal::noteExchange(const Path& first, const Path& second, const ItemIdentity& identity,
                                FileError& error) {
    return noteStep("swap", first, second, identity, error);
}

bool RunJournal::noteTemporary(const Path& path, FileError& error) {
    return write("temp " + quoted(path.bytes()) + '\n', error);
}

bool RunJournal::noteWritingFile(const Path& path, const QByteArray& contents, FileError& error) {
    return write("write " + quoted(path.bytes()) + ' ' + quoted(contents) + '\n', error);
}

bool RunJournal::noteWroteFile(const Path& path, const ItemIdentity& identity, FileError& error) {
    const qsizetype before = waiting_.size();
    appendClockIfMoved();  // the file is there now
    waiting_ += "wrote " + quoted(path.bytes()) + ' ' + identityText(identity) + '\n';
    if (storeWaiting(before, error)) return true;
    lastClock_ = 0;
    return false;
}

bool RunJournal::noteRemovingFile(const Path& path, const QByteArray& contents, FileError& error) {
    return write("unlink " + quoted(path.bytes()) + ' ' + quoted(contents) + '\n', error);
}

void RunJournal::noteDone(qint64 id) {
    appendWritten(waiting_, 5 + 20 + 1, [id](char* out) {
        out = std::copy_n("done ", 5, out);
        out = std::to_chars(out, out + 20, std::uint64_t(id)).ptr;
        *out++ = '\n';
        return out;
    });
}

bool RunJournal::noteMakingFolder(const Path& path, FileError& error) {
    return write("mkdir " + quoted(path.bytes()) + '\n', error);
}

bool RunJournal::noteMadeFolder(const Path& path, const ItemIdentity& identity, FileError& error) {
    return write("made " + quoted(path.bytes()) + ' ' + identityText(identity) + '\n', error);
}

bool RunJournal::noteRemovingFolder(const Path& path, FileError& error) {
    return write("rmdir " + quoted(path.bytes()) + '\n', error);
}

bool RunJournal::noteMovedAcross(qint64 id, const ItemIdentity& identity, FileError& error) {
    const qsizetype before = waiting_.size();
    appendClockIfMoved();  // the new item is there now
    waiting_ += "across " + QByteArray::number(id) + ' ' + identityText(identity) + '\n';
    if (storeWaiting(before, error)) return true;
    lastClock_ = 0;
    return false;
}

bool RunJournal::noteFolder(const Path& folder, FileError& error) {
    return write("folder " + quoted(folder.bytes()) + '\n', error);
}

bool RunJournal::notePlanned(qsizetype items, FileError& error) {
    return write("planned " + QByteArray::number(items) + '\n', error);
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
    // Space reserved ahead and left over goes; should that fail, a reader stops at its
    // first zero byte all the same.
    if (mapped_ && ::ftruncate(fd_, length_) != 0) {
    }
    // A failed sync has nothing to tell: the lines are in the page cache all the same.
    (void)countedChange(syncFile(fd_));
    ::close(fd_);
    fd_ = -1;
}

bool appendToRecord(const Path& recordPath, const QByteArray& lines) {
    const int fd = openRecordFile(recordPath, O_WRONLY | O_APPEND);
    if (fd < 0) return false;
    const bool written = writeAll(fd, lines + '\n') == 0 && ::fsync(fd) == 0;
    ::close(fd);
    if (written) countDiskChange();
    return written;
}
