#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <QFile>

#include "support/qstring_printer.h"
#include "support/temp_home.h"

namespace {

class LocalFileSystemTest : public ::testing::Test {
  protected:
    TempHome home;
    LocalFileSystem fs;
};

// The move as on a file system without RENAME_NOREPLACE, with or without hard links.
LocalFileSystem::MoveCalls withoutNoReplace(bool hardLinks) {
    LocalFileSystem::MoveCalls calls = LocalFileSystem::systemMoveCalls();
    calls.renameNoReplace = [](const char*, const char*) { return errno = EINVAL, -1; };
    if (!hardLinks) calls.link = [](const char*, const char*) { return errno = EPERM, -1; };
    return calls;
}

// With the no-replace flag, and without it (by a hard link, or where there are none), a
// move never replaces a file, a folder (an empty one either) or a link, fails without a
// parent, and moves a link as a link.
TEST_F(LocalFileSystemTest, AMoveNeverReplacesWithOrWithoutTheNoReplaceFlag) {
    for (const char* way : {"flag", "links", "no-links"}) {
        SCOPED_TRACE(way);
        const Path d = asPath(home / way);
        auto at = [&](const char* name) { return d / name; };
        writeFile(at("a.txt").display(), "mine");
        writeFile(at("taken.txt").display(), "theirs");
        makeFolder(at("folder/inner").display());
        makeFolder(at("empty").display());  // plain rename(2) would replace an empty folder
        QFile::link("nowhere", at("link").display());
        if (way != QByteArray("flag")) fs.moveCalls = withoutNoReplace(way == QByteArray("links"));
        for (const char* target : {"taken.txt", "empty", "link"}) {
            EXPECT_EQ(fs.moveNoReplace(at("a.txt"), at(target)).code, EEXIST) << target;
            EXPECT_EQ(fs.moveNoReplace(at("folder"), at(target)).code, EEXIST) << target;
        }
        EXPECT_EQ(fs.moveNoReplace(at("a.txt"), at("missing/a.txt")).code, ENOENT);
        EXPECT_EQ(displayed(fs.listNames(d, true)),
                  QStringList({"a.txt", "empty", "folder", "link", "taken.txt"}));
        EXPECT_EQ(readFile(at("a.txt").display()) + readFile(at("taken.txt").display()),
                  "minetheirs");
        EXPECT_TRUE(fs.listNames(at("empty"), true).empty());

        ASSERT_TRUE(fs.moveNoReplace(at("a.txt"), at("b.txt")).ok());
        ASSERT_TRUE(fs.moveNoReplace(at("folder"), at("moved")).ok());
        ASSERT_TRUE(fs.moveNoReplace(at("link"), at("moved-link")).ok());
        EXPECT_EQ(displayed(fs.listNames(d, true)),
                  QStringList({"b.txt", "empty", "moved", "moved-link", "taken.txt"}));
        EXPECT_EQ(readFile(at("b.txt").display()), "mine");
        EXPECT_EQ(fs.status(at("b.txt"))->links, 1u);
        EXPECT_TRUE(fs.isDirectory(at("moved/inner")));
        EXPECT_TRUE(fs.status(at("moved-link"))->isSymlink());
    }
    // The old name cannot be dropped: the item stays there and gets no second name.
    fs.moveCalls = withoutNoReplace(true);
    fs.moveCalls.unlink = [](const char* path) {
        return QByteArray(path).endsWith("/b.txt") ? (errno = EROFS, -1) : ::unlink(path);
    };
    EXPECT_EQ(fs.moveNoReplace(asPath(home / "links/b.txt"), asPath(home / "links/c.txt")).code,
              EROFS);
    EXPECT_EQ(displayed(fs.listNames(asPath(home / "links"), true)),
              QStringList({"b.txt", "empty", "moved", "moved-link", "taken.txt"}));
}

QStringList describe(FileSystem& files, const Path& folder, bool hidden) {
    const NameList names = files.listNames(folder, hidden);
    QStringList lines;
    for (std::size_t i = 0; i < names.size(); ++i)
        lines << displayName(names.at(i)) + (names.isDirectory(i) ? "/" : "");
    return lines;
}

// Listed in byte order, dot names only when asked, real folders told from links to them.
// Names are bytes: one that is not UTF-8 and the UTF-8 name it would read as are two
// items, each listed, moved and removed as itself.
TEST_F(LocalFileSystemTest, ListsMovesAndRemovesEveryNameByItsBytes) {
    const Path d = asPath(home / "d");
    writeFile(home / "d/b.txt");
    writeFile(home / "d/.hidden");
    writeFile(home / "d/A folder/inside");
    QFile::link(home / "d/A folder", home / "d/link");
    const QByteArray notUtf8("r\xFF\n"), replacement("r\xEF\xBF\xBD\n");
    ASSERT_TRUE(fs.makeDirectory(d / notUtf8).ok());
    ASSERT_TRUE(fs.makeDirectory(d / replacement).ok());
    EXPECT_EQ(describe(fs, d, false),
              QStringList({"A folder/", "b.txt", "link", "r\uFFFD\\x0A/", "r\\xFF\\x0A/"}));
    EXPECT_EQ(describe(fs, d, true).value(0), ".hidden");

    ASSERT_TRUE(fs.moveNoReplace(d / notUtf8, d / (notUtf8 + "-moved")).ok());
    ASSERT_TRUE(fs.removeAll(d / replacement).ok());
    EXPECT_EQ(displayed(fs.listNames(d, false)),
              QStringList({"A folder", "b.txt", "link", "r\\xFF\\x0A-moved"}));
    ASSERT_TRUE(fs.removeAll(d).ok());
    EXPECT_FALSE(fs.exists(d));
    EXPECT_TRUE(fs.listNames(d, true).empty());
    NameList names;
    EXPECT_EQ(fs.readFolder(d, names).code, ENOENT);
}

}  // namespace
