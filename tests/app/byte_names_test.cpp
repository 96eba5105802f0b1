// Every command that moves, copies or deletes items handles names byte for byte, from
// the command line down: names that are not UTF-8, hold a newline, start with a dash or
// are 255 bytes long. Each step is checked by listing the raw names (readdir).

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cstdio>
#include <set>

#include "run_desktidy.h"
#include "support/qstring_printer.h"
#include "tools/tool_runner.h"

namespace {

using Names = std::set<QByteArray>;

// The names in folder as readdir gives them.
Names rawNames(const QByteArray& folder) {
    Names names;
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") names.insert(name);
    }
    ::closedir(dir);
    return names;
}

// The names of every file below folder, at any depth.
Names rawFileNames(const QByteArray& folder) {
    Names names;
    for (const QByteArray& name : rawNames(folder)) {
        const QByteArray path = folder + '/' + name;
        struct stat st;
        if (::lstat(path.constData(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode))
            names.merge(rawFileNames(path));
        else
            names.insert(name);
    }
    return names;
}

// A file holding its own name, so a copy can be told from another.
void writeNamed(const QByteArray& folder, const QByteArray& name) {
    const int fd = ::open((folder + '/' + name).constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    ASSERT_GE(fd, 0) << name.toStdString();
    ASSERT_EQ(::write(fd, name.constData(), size_t(name.size())), name.size());
    ::close(fd);
}

QByteArray contentOf(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0) return "(missing)";
    char buffer[512];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return QByteArray(buffer, n < 0 ? 0 : int(n));
}

// Runs the program with arguments given as bytes, as a shell script would.
Outcome run(const QList<QByteArray>& arguments) {
    ToolArguments bytes;
    for (const QByteArray& argument : arguments) bytes << argument;
    const ToolResult result =
        ProcessToolRunner().run({QStringLiteral(DESKTIDY_BINARY), bytes, {}, std::nullopt});
    return {result.exitCode, QString::fromUtf8(result.output), QString::fromUtf8(result.error)};
}

class ByteNames : public ::testing::Test {
  protected:
    TempHome home;
    QByteArray homePath = QFile::encodeName(home.path());
    QByteArray desk = homePath + "/Desk";
    // Each has a type that files it: not UTF-8, a newline, a leading dash, 255 bytes.
    Names odd{QByteArray("\xff\xfe photo.jpg"), QByteArray("two\nlines.txt"), QByteArray("-rf.pdf"),
              QByteArray(251, 'a') + ".png", QByteArray(251, '\xe9') + ".mp3"};

    void SetUp() override {
        ASSERT_EQ(::mkdir(desk.constData(), 0755), 0);
        for (const QByteArray& name : odd) writeNamed(desk, name);
    }
};

}  // namespace

TEST_F(ByteNames, FileArchiveAndUnfileMoveEveryItemAsItIs) {
    const Outcome filed = run({"--yes", "file", desk});
    EXPECT_EQ(filed.status, 0) << filed.err.toStdString();
    for (const QByteArray& name : rawNames(desk)) EXPECT_EQ(odd.count(name), 0u);
    EXPECT_EQ(rawFileNames(desk), odd);

    EXPECT_EQ(run({"--yes", "unfile", desk}).status, 0);
    EXPECT_EQ(rawNames(desk), odd);

    // Archiving everything changed on or before a day to come.
    ASSERT_EQ(run({"archive-date", "2099"}).status, 0);
    EXPECT_EQ(run({"--yes", "file", desk}).status, 0);
    EXPECT_EQ(rawNames(desk).size(), 1u);  // the archive folder alone
    EXPECT_EQ(rawFileNames(desk), odd);
    EXPECT_EQ(run({"--yes", "unfile", desk}).status, 0);
    EXPECT_EQ(rawNames(desk), odd);
    for (const QByteArray& name : odd) EXPECT_EQ(contentOf(desk + '/' + name), name);
}

TEST_F(ByteNames, PackAndUnpackCopyEveryItemAsItIs) {
    const QByteArray store = homePath + "/Store";
    ASSERT_EQ(::mkdir(store.constData(), 0755), 0);
    ASSERT_EQ(run({"pack-list", "add", desk, store}).status, 0);
    ASSERT_EQ(run({"pack-list", "reverse"}).status, 0);

    const Outcome packed = run({"--yes", "pack"});
    EXPECT_EQ(packed.status, 0) << packed.err.toStdString();
    EXPECT_EQ(rawNames(store + "/Desk"), odd);

    // The originals go; unpacking brings them back from the copies.
    for (const QByteArray& name : odd) ASSERT_EQ(::unlink((desk + '/' + name).constData()), 0);
    const Outcome unpacked = run({"--yes", "unpack"});
    EXPECT_EQ(unpacked.status, 0) << unpacked.err.toStdString();
    EXPECT_EQ(rawNames(desk), odd);
    for (const QByteArray& name : odd) EXPECT_EQ(contentOf(desk + '/' + name), name);
}

TEST_F(ByteNames, RemoveAppMovesEveryRelatedItemAsItIs) {
    const QByteArray config = homePath + "/.config";
    ASSERT_EQ(::mkdir(config.constData(), 0755), 0);
    const Names related{QByteArray("Pad\xff"), QByteArray("-Pad\nnotes"),
                        QByteArray("Pad") + QByteArray(252, 'b')};
    for (const QByteArray& name : related) writeNamed(config, name);
    writeNamed(homePath, "Pad.AppImage");

    const Outcome moved = run({"--yes", "remove-app", homePath + "/Pad.AppImage"});
    EXPECT_EQ(moved.status, 0) << moved.err.toStdString();
    Names expected = related;
    expected.insert("Pad.AppImage");
    EXPECT_EQ(rawNames(homePath + "/.local/share/Trash/files/DKT Deleted Apps"), expected);
    for (const QByteArray& name : rawNames(config)) EXPECT_EQ(related.count(name), 0u);
}
