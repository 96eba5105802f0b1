// Filing, archiving and unfiling handle names byte for byte from the command line down:
// names that are not UTF-8, hold a newline, start with a dash or are 255 bytes long, each
// step checked by listing the raw names (readdir). Copies, removals and Trash deletions
// are checked by their bytes in the pack, removal and Trash tests.

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <set>

#include "run_desktidy.h"
#include "support/qstring_printer.h"
#include "support/tree_listing.h"
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

// Runs the program with arguments given as bytes, as a shell script would.
Outcome run(const QList<QByteArray>& arguments) {
    ToolArguments bytes;
    for (const QByteArray& argument : arguments) bytes << argument;
    const ToolResult result =
        ProcessToolRunner().run({QStringLiteral(DESKTIDY_BINARY), bytes, {}, std::nullopt});
    return {result.exitCode, QString::fromUtf8(result.output), QString::fromUtf8(result.error)};
}

}  // namespace

TEST(ByteNames, FileArchiveAndUnfileMoveEveryItemAsItIs) {
    TempHome home;
    const QByteArray desk = QFile::encodeName(home / "Desk");
    // Each has a type that files it: not UTF-8, a newline, a leading dash, 255 bytes.
    const Names odd{QByteArray("\xff\xfe photo.jpg"), QByteArray("two\nlines.txt"),
                    QByteArray("-rf.pdf"), QByteArray(251, 'a') + ".png",
                    QByteArray(251, '\xe9') + ".mp3"};
    ASSERT_EQ(::mkdir(desk.constData(), 0755), 0);
    for (const QByteArray& name : odd) writeItem(Path(desk + '/' + name), name);

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
    for (const QByteArray& name : odd) EXPECT_EQ(contentsOf(Path(desk + '/' + name)), name);
}
