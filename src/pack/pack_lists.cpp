#include "pack/pack_lists.h"

#include <algorithm>

ChooserRequest sourceChooserRequest() {
    ChooserRequest request = ChooserRequest::forFolders(
        QStringLiteral("Add File or Folder to Copy"), QStringLiteral("Add"), false);
    request.chooseFiles = true;
    return request;
}

ChooserRequest destinationChooserRequest() {
    return ChooserRequest::forFolders(QStringLiteral("Choose Destination"),
                                      QStringLiteral("Choose"), false);
}

namespace {

// The text of the single path chosen in a panel, or nothing when it was cancelled. The
// lists are kept as text in the settings, so a path that is not UTF-8 cannot be listed.
std::optional<QString> chooseOne(PathChooser& chooser, const ChooserRequest& request) {
    const std::optional<QList<Path>> chosen = chooser.choose(request);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return chosen->first().toText();
}

}  // namespace

bool addRowByChoosing(PathChooser& chooser, QStringList& fromArray, QStringList& toArray) {
    const std::optional<QString> source = chooseOne(chooser, sourceChooserRequest());
    if (!source) return false;
    const std::optional<QString> destination = chooseOne(chooser, destinationChooserRequest());
    if (!destination) return false;
    fromArray.append(*source);
    toArray.append(*destination);
    return true;
}

void removeRows(QStringList& fromArray, QStringList& toArray, const QList<int>& rows) {
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    // From the last row up, so that the indexes still to come keep their meaning.
    for (int row : sorted) {
        if (row < 0 || row >= fromArray.size()) continue;
        fromArray.removeAt(row);
        if (row < toArray.size()) toArray.removeAt(row);
    }
}

void deriveUnpackList(const QStringList& packFrom, const QStringList& packTo,
                      QStringList& unpackFrom, QStringList& unpackTo) {
    unpackFrom.clear();
    unpackTo.clear();
    // Splitting and joining at "/" keeps the text's bytes whole, so they read back as
    // the same text.
    for (qsizetype i = 0; i < packFrom.size(); ++i) {
        const Path source = Path::fromText(packFrom.at(i));
        const Path copyPath = copyPathOf(source, Path::fromText(packTo.value(i)));
        unpackFrom.append(QString::fromUtf8(copyPath.bytes()));
        unpackTo.append(QString::fromUtf8(source.parent().bytes()));
    }
}

void clearPackLists(Settings& settings) {
    settings.packFromArray.clear();
    settings.packToArray.clear();
    settings.unpackFromArray.clear();
    settings.unpackToArray.clear();
}

Path copyPathOf(const Path& source, const Path& destinationFolder) {
    return destinationFolder / source.fileName();
}
