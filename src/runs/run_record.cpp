#include "runs/run_record.h"

#include <QHash>
#include <charconv>

#include "runs/record_text.h"

QByteArray RunRecord::option(const QByteArray& name) const {
    for (const auto& [key, value] : options)
        if (key == name) return value;
    return {};
}

bool RunEntry::isItem(const std::optional<FileStatus>& status) const {
    if (!status || ItemIdentity{status->device, status->inode} != identity) return false;
    if (!clock.known || !status->birthKnown) return true;
    return status->birthSeconds < clock.seconds ||
           (status->birthSeconds == clock.seconds && status->birthNanoseconds <= clock.nanoseconds);
}

bool RunEntry::countsAsItem() const {
    return kind == Kind::Exchange || (kind == Kind::Move && !isTemporaryName(target.fileName()));
}

int RunRecord::itemCount(FileSystem& files, QList<qint64>* foundUnmarked) const {
    int items = 0;
    for (const RunEntry& entry : entries) {
        if (!entry.countsAsItem()) continue;
        if (entry.done) {
            ++items;
        } else if (end.isEmpty() && entry.isItem(files.status(entry.target))) {
            // The run's end stores every mark: only a killed or running run lacks one.
            ++items;
            if (foundUnmarked) *foundUnmarked << entry.id;
        }
    }
    return items;
}

bool isTemporaryCopyName(QByteArrayView name) {
    return name.startsWith('.') && name.contains(".desktidy-partial-");
}

bool isTemporaryMoveName(QByteArrayView name) {
    return name.startsWith(".desktidy-case-") || name.startsWith(".desktidy-rename-") ||
           (name.startsWith('.') && name.contains(".desktidy-old-"));
}

char* writeIdentity(char* out, const ItemIdentity& identity) {
    out = std::to_chars(out, out + 20, identity.device).ptr;
    *out++ = ':';
    return std::to_chars(out, out + 20, identity.inode).ptr;
}

QByteArray identityText(const ItemIdentity& identity) {
    char text[identityLimit];
    return QByteArray(text, writeIdentity(text, identity) - text);
}

std::optional<ItemIdentity> identityFromText(const QByteArray& text) {
    const qsizetype colon = text.indexOf(':');
    if (colon < 0) return std::nullopt;
    bool deviceOk = false, inodeOk = false;
    const ItemIdentity identity{text.left(colon).toULongLong(&deviceOk),
                                text.mid(colon + 1).toULongLong(&inodeOk)};
    if (!deviceOk || !inodeOk) return std::nullopt;
    return identity;
}

namespace {

// "SECONDS.NANOSECONDS", as the journal writes its clock.
RecordClock clockFromText(const QByteArray& text) {
    RecordClock clock;
    const qsizetype dot = text.indexOf('.');
    if (dot <= 0 || text.size() - dot - 1 != 9) return clock;
    const char* begin = text.constData();
    const auto seconds = std::from_chars(begin, begin + dot, clock.seconds);
    const auto nanoseconds =
        std::from_chars(begin + dot + 1, begin + text.size(), clock.nanoseconds);
    clock.known = seconds.ec == std::errc() && seconds.ptr == begin + dot &&
                  nanoseconds.ec == std::errc() && nanoseconds.ptr == begin + text.size();
    return clock;
}

}  // namespace

std::optional<RunRecord> parseRunRecord(QByteArrayView text, int number) {
    if (!text.startsWith("desktidy-run 1\n")) return std::nullopt;
    RunRecord record;
    record.number = number;
    QHash<qint64, qsizetype> moveAt;         // move id -> index in entries
    QHash<QByteArray, qsizetype> madeAt;     // folder -> index of its latest "mkdir"
    QHash<QByteArray, qsizetype> writtenAt;  // file -> index of its latest "write"
    RecordClock clock;                       // the latest "clock" line
    for (QByteArrayView line : QByteArray::fromRawData(text.data(), text.size()).split('\n')) {
        // A killed run's record ends in the zero bytes of space reserved ahead; marks
        // added later follow them on the same line.
        while (line.startsWith('\0')) line = line.sliced(1);
        const std::optional<QList<QByteArray>> words = splitWords(line);
        if (!words || words->isEmpty()) continue;
        const QByteArray& key = words->first();
        const qsizetype count = words->size();
        const auto word = [&](int i) { return words->at(i); };
        if (key == "kind" && count == 2) {
            record.kind = word(1);
        } else if (key == "folder" && count == 2) {
            record.folders << Path(word(1));
        } else if (key == "time" && count == 2) {
            record.time = QDateTime::fromString(QString::fromLatin1(word(1)), Qt::ISODate);
        } else if (key == "pid" && count == 2) {
            record.pid = word(1).toLongLong();
        } else if (key == "planned" && count == 2) {
            record.planned += word(1).toInt();
        } else if (key == "option" && count == 3) {
            record.options.append({word(1), word(2)});
        } else if (key == "clock" && count == 2) {
            clock = clockFromText(word(1));
        } else if ((key == "move" || key == "swap") && count == 5) {
            const auto identity = identityFromText(word(4));
            if (!identity) continue;
            RunEntry entry{key == "move" ? RunEntry::Kind::Move : RunEntry::Kind::Exchange,
                           word(1).toLongLong(),
                           Path(word(2)),
                           Path(word(3)),
                           *identity,
                           clock};
            moveAt.insert(entry.id, record.entries.size());
            record.entries << entry;
        } else if (key == "done" && count == 2) {
            if (const auto at = moveAt.constFind(word(1).toLongLong()); at != moveAt.cend())
                record.entries[*at].done = true;
        } else if (key == "across" && count == 3) {
            const auto at = moveAt.constFind(word(1).toLongLong());
            const auto identity = identityFromText(word(2));
            if (at == moveAt.cend() || !identity) continue;
            RunEntry& entry = record.entries[*at];
            entry.identity = *identity;
            entry.clock = clock;
            entry.done = entry.acrossDevices = true;
        } else if (key == "mkdir" && count == 2) {
            madeAt.insert(word(1), record.entries.size());
            record.entries << RunEntry{RunEntry::Kind::MadeFolder, 0, Path(word(1))};
        } else if (key == "made" && count == 3) {
            const auto at = madeAt.constFind(word(1));
            const auto identity = identityFromText(word(2));
            if (at == madeAt.cend() || !identity) continue;
            record.entries[*at].identity = *identity;
            record.entries[*at].done = true;
        } else if (key == "rmdir" && count == 2) {
            record.entries << RunEntry{RunEntry::Kind::RemovedFolder, 0, Path(word(1))};
        } else if (key == "write" && count == 3) {
            RunEntry entry{.kind = RunEntry::Kind::WroteFile, .path = Path(word(1))};
            entry.contents = word(2);
            writtenAt.insert(word(1), record.entries.size());
            record.entries << entry;
        } else if (key == "wrote" && count == 3) {
            const auto at = writtenAt.constFind(word(1));
            const auto identity = identityFromText(word(2));
            if (at == writtenAt.cend() || !identity) continue;
            record.entries[*at].identity = *identity;
            record.entries[*at].clock = clock;
            record.entries[*at].done = true;
        } else if (key == "unlink" && count == 3) {
            RunEntry entry{.kind = RunEntry::Kind::RemovedFile, .path = Path(word(1))};
            entry.contents = word(2);
            record.entries << entry;
        } else if (key == "temp" && count == 2) {
            record.entries << RunEntry{RunEntry::Kind::Temporary, 0, Path(word(1))};
        } else if (key == "result" && count == 2) {
            record.result = QString::fromUtf8(word(1));
        } else if (key == "end" && count == 2) {
            record.end = word(1);
        } else if (key == "undone-by" && count == 2) {
            record.undone = true;
            record.undoneBy = word(1).toInt();
        } else if (key == "redone-by" && count == 2) {
            record.undone = false;
            record.undoneBy = 0;
        } else if (key == "noticed" && count == 1) {
            record.noticed = true;
        }
    }
    return record;
}
