#include <gtest/gtest.h>

#include <QFile>

#include "platform/file_system.h"
#include "support/temp_home.h"

namespace {

QStringList describe(const QList<FileSystem::Entry>& entries) {
    QStringList lines;
    for (const auto& e : entries) lines << e.name + (e.isDirectory ? "/" : "");
    return lines;
}

// The generic listing, built on listNames and status, as a fake file system gets it.
class GenericListing : public LocalFileSystem {
  public:
    QList<Entry> listEntries(const QString& folder, bool includeHidden) override {
        return FileSystem::listEntries(folder, includeHidden);
    }
};

TEST(ListEntries, TellsRealFoldersFromFilesAndLinksInNameOrder) {
    TempHome home;
    const QString folder = home / "f";
    writeFile(folder + "/b.txt");
    writeFile(folder + "/.hidden");
    writeFile(folder + "/A folder/inside");
    QFile::link(folder + "/A folder", folder + "/link");

    LocalFileSystem local;
    GenericListing generic;
    const QStringList expected{"A folder/", "b.txt", "link"};
    EXPECT_EQ(describe(local.listEntries(folder, false)), expected);
    EXPECT_EQ(describe(generic.listEntries(folder, false)), expected);
    EXPECT_EQ(describe(local.listEntries(folder, true)),
              QStringList({".hidden", "A folder/", "b.txt", "link"}));
    EXPECT_TRUE(local.listEntries(home / "missing", true).isEmpty());
}

}  // namespace
