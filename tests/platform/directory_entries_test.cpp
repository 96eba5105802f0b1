#include <gtest/gtest.h>

#include <QFile>

#include "platform/file_system.h"
#include "support/temp_home.h"

namespace {

// The generic listing, built on listNames and status, as a fake file system gets it.
class GenericListing : public LocalFileSystem {
  public:
    QList<Entry> listEntries(const QString& folder, bool hidden) override {
        return FileSystem::listEntries(folder, hidden);
    }
};

QStringList describe(FileSystem& files, const QString& folder, bool hidden) {
    QStringList lines;
    for (const auto& e : files.listEntries(folder, hidden))
        lines << e.name + (e.isDirectory ? "/" : "");
    return lines;
}

TEST(ListEntries, TellsRealFoldersFromFilesAndLinksInNameOrder) {
    TempHome home;
    writeFile(home / "f/b.txt");
    writeFile(home / "f/.hidden");
    writeFile(home / "f/A folder/inside");
    QFile::link(home / "f/A folder", home / "f/link");
    LocalFileSystem local;
    GenericListing generic;
    EXPECT_EQ(describe(local, home / "f", false), QStringList({"A folder/", "b.txt", "link"}));
    EXPECT_EQ(describe(generic, home / "f", true), describe(local, home / "f", true));
    EXPECT_TRUE(describe(local, home / "missing", true).isEmpty());
}

}  // namespace
