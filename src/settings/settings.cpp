#include "settings/settings.h"

namespace {
const char* const categoryKeys[] = {"",       "audio", "compressed", "data", "image",
                                    "layout", "video", "web",        "words"};
}

QStringList* Settings::typeList(int categoryIndex) {
    switch (categoryIndex) {
        case 1:
            return &audioTypesArray;
        case 2:
            return &compressedTypesArray;
        case 3:
            return &dataTypesArray;
        case 4:
            return &imageTypesArray;
        case 5:
            return &layoutTypesArray;
        case 6:
            return &videoTypesArray;
        case 7:
            return &webTypesArray;
        case 8:
            return &wordsTypesArray;
        default:
            return nullptr;
    }
}

const QStringList* Settings::typeList(int categoryIndex) const {
    return const_cast<Settings*>(this)->typeList(categoryIndex);
}

QString Settings::typeKey(int categoryIndex) {
    if (categoryIndex < 1 || categoryIndex > categoryCount) return QString();
    return QString::fromLatin1(categoryKeys[categoryIndex]);
}

void setTypeArray(Settings& settings, int selectedRow) {
    settings.foldersRow = selectedRow;
    if (selectedRow == 0) {
        settings.fileTypesArray.clear();
    } else if (const QStringList* list = settings.typeList(selectedRow)) {
        settings.fileTypesArray = *list;
    }
}
