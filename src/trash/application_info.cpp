#include "trash/application_info.h"

#include <QDir>

#include "platform/file_system.h"
#include "platform/property_list.h"

namespace {

const QString appSuffix = QStringLiteral(".app");
const QString appImageSuffix = QStringLiteral(".AppImage");

bool hasSuffix(const QString& path, const QString& suffix) {
    const QString name = lastPathComponent(path);
    return name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive);
}

// The entry of folder called name, preferring the exact spelling, else any spelling
// that differs only in case; empty when there is none.
QString entryIgnoringCase(const QString& folder, const QString& name) {
    if (QFileInfo::exists(joinPath(folder, name))) return joinPath(folder, name);
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return joinPath(folder, entry);
    return QString();
}

}  // namespace

bool isApplicationBundle(const QString& path) { return hasSuffix(path, appSuffix); }

bool isAppImage(const QString& path) { return hasSuffix(path, appImageSuffix); }

bool isApplication(const QString& path) { return isApplicationBundle(path) || isAppImage(path); }

QString applicationName(const QString& path) {
    const QString name = lastPathComponent(path);
    if (isApplicationBundle(path)) return name.chopped(appSuffix.size());
    if (isAppImage(path)) return name.chopped(appImageSuffix.size());
    return QString();
}

QString bundleIdentifier(const QString& bundlePath) {
    if (!isApplicationBundle(bundlePath)) return QString();
    const QString contents = entryIgnoringCase(bundlePath, QStringLiteral("Contents"));
    if (contents.isEmpty()) return QString();
    const QString infoPlist = entryIgnoringCase(contents, QStringLiteral("Info.plist"));
    if (infoPlist.isEmpty()) return QString();
    return readPropertyListDictionary(infoPlist)
        .value(QStringLiteral("CFBundleIdentifier"))
        .toString();
}
