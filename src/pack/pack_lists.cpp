#include "pack/pack_lists.h"

#include <algorithm>

#include "platform/file_system.h"

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

// The single path chosen in a panel, or nothing when it was cancelled.
std::optional<QString> chooseOne(PathChooser& chooser, const ChooserRequest& request) {
    const std::optional<QStringList> chosen = chooser.choose(request);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return chosen->first();
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
    for (qsizetype i = 0; i < packFrom.size(); ++i) {
        unpackFrom.append(copyPathOf(packFrom.at(i), packTo.value(i)));
        unpackTo.append(deletingLastPathComponent(packFrom.at(i)));
    }
}

QString copyPathOf(const QString& source, const QString& destinationFolder) {
    return joinPath(destinationFolder, lastPathComponent(source));
}
