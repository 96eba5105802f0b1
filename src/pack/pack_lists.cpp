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

Path copyPathOf(const Path& source, const Path& destinationFolder) {
    return destinationFolder / source.fileName();
}
