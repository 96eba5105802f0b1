#include "removal/related_file_search.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>

#include "removal/application_info.h"
#include "removal/tree_search.h"
#include "support/trash_fixture.h"

namespace {

// The related items as texts, the folders given as texts.
QStringList related(const QString& app, const QStringList& folders, const QString& home,
                    const Path& skippedFolder = Path()) {
    return texts(relatedFiles(AppNames::forApplication(asPath(app)), asPath(app), paths(folders),
                              asPath(home), skippedFolder));
}

// The searches of an application, "*TEXT*" for the names holding TEXT, "=TEXT" for the
// name TEXT.
QStringList searchesOf(const QString& name, const QString& identifier) {
    QStringList searches;
    for (const NameSearch& search : AppNames::make(name, identifier).searches())
        searches << (search.wholeName ? "=" + search.text : "*" + search.text + "*");
    return searches;
}

}  // namespace

TEST(AppNames, ExamplesGiveTheirNamesAndSearches) {
    EXPECT_EQ(searchesOf("Note Pad", "a.b.notepad"),
              QStringList({"*Note Pad*", "*.notepad*", "*NotePad*"}));

    // The identifier's piece equals the name: no identifier search; 1 and 3 repeat.
    EXPECT_EQ(searchesOf("Mail", "com.apple.mail"), QStringList({"*Mail*", "*Mail*"}));
    // A name ending in ".com" skips both name searches.
    EXPECT_EQ(searchesOf("Sample.com", "com.sample.sampler"), QStringList({"*.sampler*"}));
    // An identifier without "." or with a one-character piece: names only.
    for (const char* identifier : {"notepad", "a.b.c"})
        EXPECT_EQ(searchesOf("Pad", identifier), QStringList({"*Pad*", "*Pad*"}));
    // An empty name leaves only the identifier.
    EXPECT_EQ(searchesOf("", "org.x.tool"), QStringList({"*.tool*"}));
    // Fewer than three characters (wildcards not counted) match a whole name only.
    EXPECT_EQ(searchesOf("R", ""), QStringList({"=R", "=R"}));
    EXPECT_EQ(searchesOf("Pad", "org.x.cd"), QStringList({"*Pad*", "=cd", "*Pad*"}));
    EXPECT_EQ(searchesOf("R 2", ""), QStringList({"*R 2*", "=R2"}));
    EXPECT_EQ(searchesOf("*?", ""), QStringList({"=*?", "=*?"}));

    // Only the final ".app" is taken off; without one there is no name to search.
    EXPECT_EQ(applicationName(Path("/Apps/My.apple.app")), "My.apple");
    EXPECT_EQ(applicationName(Path("/Apps/Tool.APP/")), "Tool");
    EXPECT_EQ(applicationName(Path("/Apps/Krita-5.2.appimage")), "Krita-5.2");
    EXPECT_EQ(applicationName(Path("/Apps/readme.txt")), "");
    EXPECT_TRUE(AppNames::forApplication(Path("/Apps/readme.txt")).searches().isEmpty());
}

TEST(FoundPathFilter, DropsBundlesNamedFoldersAndNearMisses) {
    const std::pair<const char*, const char*> kept[] = {
        {"/h/.config/notepad", "*NotePad*"}, {"/h/mail/NotePad", "*NotePad*"},  // case counts
        {"/h/DataBase", "*base*"},           {"/h/Mail.plist", "*Mail*"},
        {"/h/com.apple.mail_x", "*.mail*"},  {"/h/.config/r", "=R"},
        {"/h/c*n*g.conf", "*c*n*g*"}};
    const std::pair<const char*, const char*> dropped[] = {
        {"/h/x/NotePad.app", "*NotePad*"},
        {"/h/x/B.app/Contents/NotePad", "*NotePad*"},
        {"/h/Mail/NotePad", "*NotePad*"},
        {"/h/DataBase", "*Base*"},
        {"/h/vertical.iCal", "*iCal*"},
        {"/h/mailbox", "*Mail*"},
        {"/h/abc", "*NotePad*"},  // the whole path must match, ignoring case
        {"/h/r/keyrings", "=r"},
        {"/h/x/R.app", "=R"},
        {"/h/*?x", "=*?"},
        {"/h/.config/fontconfig", "*c*n*g*"}};  // the name's "*" is no wildcard
    auto searchFor = [](const QString& text) {
        return text.startsWith('=') ? NameSearch{text.mid(1), true}
                                    : NameSearch{text.sliced(1).chopped(1)};
    };
    for (const auto& [path, search] : kept)
        EXPECT_TRUE(keepsFoundPath(Path(path), searchFor(search))) << path;
    for (const auto& [path, search] : dropped)
        EXPECT_FALSE(keepsFoundPath(Path(path), searchFor(search))) << path;
}

TEST_F(TrashTest, SearchesFolderByFolderInSearchOrderWithoutRepeats) {
    const QString app = writeAppBundle(home / "Applications/Note Pad.app", "a.b.notepad");
    const QString config = home / ".config", lib = home / "Lib/Library";
    makeFolder(config + "/notepad");                    // search 3
    writeFile(config + "/org.x.notepad.conf");          // search 2 (and 3)
    writeFile(config + "/Note Pad/state");              // search 1, the folder only
    writeFile(config + "/a/b/Note Pad x");              // three levels down
    writeFile(config + "/a/b/c/Note Pad deep");         // four: too deep
    writeFile(config + "/Other.app/Contents/NotePad");  // inside a bundle
    writeFile(lib + "/NotePad/NotePad.plist");          // "/Library": one level only

    const QStringList found = related(app, {config, home / "missing", lib, config}, home.path());
    EXPECT_EQ(found,
              QStringList({config + "/Note Pad", config + "/a/b/Note Pad x",
                           config + "/org.x.notepad.conf", config + "/notepad", lib + "/NotePad"}));
    EXPECT_TRUE(related(app, {}, home.path()).isEmpty());
}

TEST_F(TrashTest, IdentifierIsReadFromAnyCaseAndBinaryPropertyLists) {
    EXPECT_EQ(bundleIdentifier(asPath(writeAppBundle(home / "A.app", "org.a.alpha", "info.plist"))),
              "org.a.alpha");
    // A binary property list: bplist00, dict { CFBundleIdentifier: "x.y.bin" }.
    const QByteArray binary = QByteArray::fromHex(
        "62706c6973743030d101025f1012434642756e646c654964656e7469666965725778"
        "2e792e62696e080b2000000000000001010000000000000003000000000000000000"
        "00000000000028");
    writeFile(home / "B.app/Contents/Info.plist", binary);
    EXPECT_EQ(bundleIdentifier(asPath(home / "B.app")), "x.y.bin");
    writeFile(home / "C.app/Contents/Info.plist", "not a list");
    EXPECT_EQ(bundleIdentifier(asPath(home / "C.app")), "");
}

TEST_F(TrashTest, HostileInfoListsGiveNoIdentifierAndNeverHang) {
    auto plistWith = [](const QByteArray& extra) {
        return "<plist><dict><key>CFBundleIdentifier</key><string>x.y.z</string><key>k</key>" +
               extra + "</dict></plist>";
    };
    auto identifierOf = [&](const QByteArray& contents) {
        const QString bundle = home / "H.app";
        QDir(bundle).removeRecursively();
        writeFile(bundle + "/Contents/Info.plist", contents);
        return bundleIdentifier(asPath(bundle));
    };
    EXPECT_EQ(identifierOf(plistWith(QByteArray("<array>").repeated(60) +
                                     QByteArray("</array>").repeated(60))),
              "x.y.z");
    EXPECT_EQ(identifierOf(plistWith(QByteArray("<array>").repeated(60000) +
                                     QByteArray("</array>").repeated(60000))),
              "");
    EXPECT_EQ(identifierOf(plistWith("<string>" + QByteArray(2 << 20, 'x') + "</string>")), "");

    // A binary list of 100,000 arrays, each holding the next: 4-byte references and offsets.
    auto bigEndian = [](quint64 value, int size) {
        QByteArray bytes(size, 0);
        for (int i = size - 1; i >= 0; --i, value >>= 8) bytes[i] = static_cast<char>(value);
        return bytes;
    };
    const int levels = 100000;
    QByteArray binary = "bplist00", table;
    for (int i = 0; i < levels; ++i) {
        table += bigEndian(binary.size(), 4);
        binary += i + 1 < levels ? "\xa1" + bigEndian(i + 1, 4) : QByteArray("\xa0");
    }
    binary += table + QByteArray(6, 0) + "\x04\x04" + bigEndian(levels, 8) + bigEndian(0, 8) +
              bigEndian(binary.size(), 8);
    EXPECT_EQ(identifierOf(binary), "");

    // A dictionary with the identifier and an array whose every level refers twice to the
    // next: a few hundred bytes that the library would read as 2^levels values. Up to the
    // budget it is read; beyond, it is refused before the library copies anything.
    auto sharedLevels = [&](int levels) {
        QList<QByteArray> objects = {"\xd2\x01\x02\x03\x04",
                                     "\x5f\x10\x12"
                                     "CFBundleIdentifier",
                                     "\x51k", "\x55x.y.z"};
        for (int i = 0; i < levels; ++i)
            objects << (i + 1 < levels ? "\xa2" + QByteArray(2, char(4 + i + 1)) : "\xa0");
        QByteArray list = "bplist00", offsets;
        for (const QByteArray& object : objects) {
            offsets += bigEndian(list.size(), 2);
            list += object;
        }
        return list + offsets + QByteArray(6, 0) + "\x02\x01" + bigEndian(objects.size(), 8) +
               bigEndian(0, 8) + bigEndian(list.size(), 8);
    };
    EXPECT_EQ(identifierOf(sharedLevels(10)), "x.y.z");
    EXPECT_LT(sharedLevels(30).size(), 300);
    EXPECT_EQ(identifierOf(sharedLevels(30)), "");
    // A read the caller stops gives nothing either.
    const std::atomic_bool stop = true;
    EXPECT_EQ(bundleIdentifier(asPath(home / "H.app")), "");
    identifierOf(plistWith("<true/>"));
    EXPECT_EQ(bundleIdentifier(asPath(home / "H.app"), &stop), "");
    EXPECT_EQ(bundleIdentifier(asPath(home / "H.app")), "x.y.z");

    // Only a regular file is read: never a FIFO (which would wait for a writer) nor a
    // device, even through a link; a link to a regular file is fine.
    const QString info = home / "H.app/Contents/Info.plist";
    identifierOf("");
    QFile::remove(info);
    ASSERT_EQ(::mkfifo(QFile::encodeName(info).constData(), 0644), 0);
    EXPECT_EQ(bundleIdentifier(asPath(home / "H.app")), "");
    QFile::remove(info);
    ASSERT_TRUE(QFile::link("/dev/zero", info));
    EXPECT_EQ(bundleIdentifier(asPath(home / "H.app")), "");
    QFile::remove(info);
    ASSERT_TRUE(QFile::link(writeFile(home / "real.plist", plistWith("<true/>")), info));
    EXPECT_EQ(bundleIdentifier(asPath(home / "H.app")), "x.y.z");
}

// Every name comes back whole, as its bytes: one that is not UTF-8 matches as its text
// with U+FFFD, and is found as itself.
TEST_F(TrashTest, NamesComeBackWholeAndLinksAreNotFollowed) {
    const QString config = home / ".config";
    // A folder named "Pad" and a newline, holding folders that spell out the path of
    // another item: split at newlines, its contents would name that item.
    const QString victim = writeFile(home / "Pad precious");
    const QString tricky = writeFile(config + "/Pad\n" + victim);
    writeFile(home / "elsewhere/Pad inside");
    ASSERT_EQ(
        ::symlink(QFile::encodeName(home / "elsewhere"), QFile::encodeName(config + "/Pad link")),
        0);
    ASSERT_EQ(::symlink(QFile::encodeName(home / "elsewhere"), QFile::encodeName(home / "linked")),
              0);
    const Path notUtf8 = asPath(config) / "Pad \xff";
    ASSERT_GE(::close(::creat(notUtf8.c_str(), 0644)), 0);

    TreeSearch deep{asPath(config), 20, {}, Path()};
    deep.names.emplace_back("pad", false);
    deep.names.emplace_back("Pad \uFFFD", true);
    const std::vector<QList<Path>> found = searchTree(deep);
    EXPECT_EQ(found.at(0),
              paths({config + "/Pad\n", tricky, config + "/Pad link"}) + QList{notUtf8});
    EXPECT_EQ(found.at(1), QList<Path>{notUtf8});
    EXPECT_EQ(relatedFiles(AppNames::make("Pad", ""), asPath(home / "Pad.app"),
                           paths({config, home / "linked"}), asPath(home.path()), Path()),
              paths({config + "/Pad\n", config + "/Pad link"}) + QList{notUtf8});
}

TEST_F(TrashTest, NoSearchSweepsUpTheTrashADataFolderTheHomeOrWhatHoldsThem) {
    const QString config = home / ".config", data = home / ".local/share";
    const QString cache = home / ".cache", apps = data + "/applications";
    const QStringList dirs{config, data, cache, apps};
    auto relatedTo = [&](const QString& app, const QStringList& where = {}) {
        return related(app, where.isEmpty() ? dirs : where, home.path(), services.trash.folder);
    };
    for (const char* name : {"keyrings/login", "r/history", "editor/R.conf", "bookmarks"})
        writeFile(config + "/" + name);
    writeFile(data + "/notes.config");
    writeFile(data + "/Pad/state");
    writeFile(trashFiles() + "/Pad notes");
    writeFile(cache + "/cached/x");
    writeFile(home / "users/ann/annotations");
    makeFolder(home / "users/local/data");

    // The Trash is never searched.
    EXPECT_EQ(relatedTo(home / "Pad.app"), QStringList({data + "/Pad"}));
    EXPECT_EQ(relatedTo(home / "Trash.app"), QStringList());
    // A one-letter name finds only items of that name, not all holding the letter.
    EXPECT_EQ(relatedTo(home / "R.AppImage"), QStringList({config + "/r"}));
    // The searched folders themselves never come back, nor the home or what holds them.
    EXPECT_EQ(relatedTo(writeAppBundle(home / "Tool.app", "org.example.config")),
              QStringList({data + "/notes.config"}));
    EXPECT_EQ(relatedTo(home / "Cache.AppImage"), QStringList({cache + "/cached"}));
    EXPECT_EQ(relatedTo(home / "Applications.AppImage"), QStringList());
    EXPECT_EQ(related(home / "Ann.AppImage", {home / "users"}, home / "users/ann"),
              QStringList({home / "users/ann/annotations"}));
    EXPECT_EQ(relatedTo(home / "Local.AppImage", {home / "users", home / "users/local/data"}),
              QStringList());
}
