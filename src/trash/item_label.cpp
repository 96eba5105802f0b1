#include "trash/item_label.h"

#include "platform/file_system.h"
#include "trash/disk_usage.h"

QString sizeText(std::int64_t bytes) {
    // Single precision, as the labels have always been computed; the table of sizes and
    // their texts depends on it at the unit boundaries.
    const float kb = static_cast<float>(bytes) * (1.0f / 1024.0f);
    float value = kb;
    const char* unit = "KB";
    if (kb > 1023.0f) {
        const float mb = kb * (1.0f / 1024.0f);
        if (mb > 999.0f) {
            value = mb / 1000.0f;
            unit = "GB";
        } else {
            value = mb;
            unit = "MB";
        }
    } else if (value < 4.0f) {
        value = 4.0f;
    }
    return QString::asprintf("%0.1f %s", static_cast<double>(value), unit);
}

QString itemLabel(const Path& path, std::int64_t bytes) {
    return displayName(path.fileName()) + QStringLiteral(" - ") + sizeText(bytes) + u'\n' +
           path.display();
}

std::int64_t itemSizeInBytes(const Path& path, FileSystem& files, const std::atomic_bool* cancel) {
    const auto status = files.status(path);
    if (!status) return 0;
    if (status->isDirectory()) return diskUsageKilobytes(path, cancel) * 1024;
    return status->size;
}

QString itemLabelFor(const Path& path, FileSystem& files, const std::atomic_bool* cancel) {
    return itemLabel(path, itemSizeInBytes(path, files, cancel));
}
