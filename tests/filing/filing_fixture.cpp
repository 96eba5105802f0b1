#include "filing_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <filesystem>

#include "support/temp_home.h"

namespace fs = std::filesystem;

Settings filingSettings() {
    Settings s;
    s.folderNames = {"Archive", "Audio",  "Compressed", "Data", "Images",
                     "Layouts", "Videos", "Web",        "Words"};
    s.types(Category::Audio) = {"mp3 - MP3 audio"};
    s.types(Category::Compressed) = {"zip - Zip archive"};
    s.types(Category::Data) = {"csv - Comma-separated values"};
    s.types(Category::Image) = {"jpg - JPEG image", ".png - PNG image"};
    s.types(Category::Words) = {"txt - Plain text"};
    return s;
}

QMap<QString, QString> snapshot(const QString& root) {
    QMap<QString, QString> items;
    const fs::path base(QFile::encodeName(root).toStdString());
    for (auto it = fs::recursive_directory_iterator(base); it != fs::recursive_directory_iterator();
         ++it) {
        const QString relative =
            QString::fromStdString(it->path().lexically_relative(base).string());
        if (it->is_symlink()) {
            items[relative] =
                "link:" + QString::fromStdString(fs::read_symlink(it->path()).string());
        } else if (it->is_directory()) {
            items[relative] = "dir";
        } else {
            struct stat st;
            ::lstat(it->path().c_str(), &st);
            const QString path = QString::fromStdString(it->path().string());
            items[relative] = QStringLiteral("file:%1 @%2.%3")
                                  .arg(QString::fromUtf8(readFile(path)))
                                  .arg(st.st_mtim.tv_sec)
                                  .arg(st.st_mtim.tv_nsec);
        }
    }
    return items;
}

QStringList topLevel(const QString& folder) {
    QStringList names;
    for (const auto& entry : fs::directory_iterator(QFile::encodeName(folder).toStdString()))
        names << QString::fromStdString(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void setModified(const QString& path, std::int64_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW);
}
