#include "watch/partial_names.h"

namespace {

bool endsWithIgnoringCase(QByteArrayView name, QByteArrayView suffix) {
    return name.size() > suffix.size() &&
           name.last(suffix.size()).compare(suffix, Qt::CaseInsensitive) == 0;
}

}  // namespace

const QList<QByteArray>& partialSuffixes() {
    static const QList<QByteArray> suffixes = {
        ".part", ".crdownload", ".opdownload", ".download", ".partial", ".filepart",
        ".tmp",  ".temp",       ".aria2",      ".!qB",      ".!ut",     ".!bt"};
    return suffixes;
}

QByteArray finishedNameOf(QByteArrayView partial) {
    for (const QByteArray& suffix : partialSuffixes())
        if (endsWithIgnoringCase(partial, suffix))
            return partial.first(partial.size() - suffix.size()).toByteArray();
    return {};
}

bool isPartialName(QByteArrayView name) {
    if (name.startsWith("~$")) return true;
    if (name.size() > 2 && name.startsWith('#') && name.endsWith('#')) return true;
    if (name.startsWith(".~lock.") && name.endsWith('#')) return true;
    return !finishedNameOf(name).isEmpty();
}
