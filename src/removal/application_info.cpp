#include "removal/application_info.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/property_list.h"

namespace {

const QByteArray appSuffix = QByteArrayLiteral(".app");
const QByteArray appImageSuffix = QByteArrayLiteral(".AppImage");

// Only ASCII letters differ in case here, so the bytes can be compared as they are.
bool hasSuffix(const Path& path, const QByteArray& suffix) {
    const QByteArray name = path.fileName();
    return name.size() > suffix.size() &&
           name.right(suffix.size()).compare(suffix, Qt::CaseInsensitive) == 0;
}

// The entry of folder called name, preferring the exact spelling, else any spelling
// that differs only in case; empty when there is none.
Path entryIgnoringCase(const Path& folder, const QString& name) {
    const Path exact = folder / name.toUtf8();
    struct stat st;
    if (::stat(exact.c_str(), &st) == 0) return exact;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return Path();
    Path found;
    while (dirent* entry = ::readdir(dir)) {
        if (QString::fromUtf8(entry->d_name).compare(name, Qt::CaseInsensitive) == 0) {
            found = folder / QByteArray(entry->d_name);
            break;
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

bool isApplicationBundle(const Path& path) { return hasSuffix(path, appSuffix); }

bool isAppImage(const Path& path) { return hasSuffix(path, appImageSuffix); }

bool isApplication(const Path& path) { return isApplicationBundle(path) || isAppImage(path); }

QString applicationName(const Path& path) {
    const QByteArray name = path.fileName();
    if (isApplicationBundle(path)) return QString::fromUtf8(name.chopped(appSuffix.size()));
    if (isAppImage(path)) return QString::fromUtf8(name.chopped(appImageSuffix.size()));
    return QString();
}

QString bundleIdentifier(const Path& bundlePath, const std::atomic_bool* cancel) {
    if (!isApplicationBundle(bundlePath)) return QString();
    const Path contents = entryIgnoringCase(bundlePath, QStringLiteral("Contents"));
    if (contents.isEmpty()) return QString();
    const Path infoPlist = entryIgnoringCase(contents, QStringLiteral("Info.plist"));
    if (infoPlist.isEmpty()) return QString();
    return readPropertyListDictionary(infoPlist, cancel)
        .value(QStringLiteral("CFBundleIdentifier"))
        .toString();
}
