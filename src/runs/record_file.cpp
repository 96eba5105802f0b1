#include "runs/record_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int runNumberOf(QByteArrayView fileName) {
    if (!fileName.endsWith(".run")) return 0;
    const QByteArrayView digits = fileName.chopped(4);
    if (digits.isEmpty() || digits.size() > 9 || digits.front() == '0') return 0;
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number <= maxRunNumber ? number : 0;
}

QList<int> runNumbersIn(const Path& folder) {
    QList<int> numbers;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return numbers;
    while (const dirent* entry = ::readdir(dir))
        if (const int number = runNumberOf(entry->d_name)) numbers << number;
    ::closedir(dir);
    return numbers;
}

int openRecordFile(const Path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 ||
        st.st_size > maxRecordBytes) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

QByteArray readRecordPart(int fd, qint64 offset, qint64 bytes) {
    QByteArray text(qsizetype(bytes), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < text.size()) {
        const ssize_t n = ::pread(fd, text.data() + got, size_t(text.size() - got), offset + got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += n;
    }
    text.truncate(got);
    return text;
}

std::optional<QByteArray> readRecordFile(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size > maxRecordBytes) return std::nullopt;
    // One byte past the limit: a record that grew beyond it meanwhile is refused too.
    QByteArray text =
        readRecordPart(fd, 0, std::min(maxRecordBytes + 1, qint64(st.st_size) + 4096));
    if (text.size() > maxRecordBytes) return std::nullopt;
    return text;
}

std::optional<QByteArray> readRecordAt(const Path& path) {
    const int fd = openRecordFile(path, O_RDONLY);
    if (fd < 0) return std::nullopt;
    std::optional<QByteArray> text = readRecordFile(fd);
    ::close(fd);
    return text;
}
