// Item labels and the related-file search against the system tools they stand for, on a
// tree of about 200,000 entries shaped like a home folder's data folders:
//   label_ratio  = folder label of the whole tree / `du -k -d 0`
//   search_ratio = related-file search for one application / the same searches with find
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "platform/file_system.h"
#include "removal/related_file_search.h"
#include "removal/shared_places.h"
#include "trash/item_label.h"

namespace {

// Raise when the tree's shape changes, so an older tree is not reused.
constexpr int treeShape = 1;
int entries = 0;

void folder(const QByteArray& path) {
    ::mkdir(path.constData(), 0755);
    ++entries;
}

void file(const QByteArray& path, int bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    static const std::vector<char> data(65536, 'x');
    if (bytes > 0 && ::write(fd, data.data(), std::min<size_t>(bytes, data.size())) < 0)
        std::perror("write");
    ::close(fd);
    ++entries;
}

// An application's folder: a few files, settings folders and a nested data tree.
void appFolder(const QByteArray& path, int files, int depth) {
    folder(path);
    for (int i = 0; i < files; ++i)
        file(path + "/file" + QByteArray::number(i) + ".dat", (i * 997) % 9000);
    if (depth > 0)
        for (int i = 0; i < 3; ++i)
            appFolder(path + "/sub" + QByteArray::number(i), files / 2, depth - 1);
}

// A browser-like cache: hexadecimal folders two levels deep full of small entries.
void cacheFolder(const QByteArray& path, int perFolder) {
    folder(path);
    for (int a = 0; a < 16; ++a) {
        const QByteArray first = path + "/" + QByteArray::number(a, 16);
        folder(first);
        for (int b = 0; b < 16; ++b) {
            const QByteArray second = first + "/" + QByteArray::number(b, 16);
            folder(second);
            for (int i = 0; i < perFolder; ++i)
                file(second + "/e" + QByteArray::number(i), 300 + i * 11);
        }
    }
}

const char* const dataFolders[] = {
    "/.config", "/.local/share", "/.cache", "/.local/state", "/.local/share/applications",
    "/.var/app"};

void buildHome(const QString& root) {
    const QByteArray home = QFile::encodeName(root);
    const QList<QByteArray> data = {"/.config", "/.local",       "/.local/share",
                                    "/.cache",  "/.local/state", "/.local/share/applications",
                                    "/.var",    "/.var/app"};
    for (const QByteArray& d : data) folder(home + d);
    for (int app = 0; app < 1000; ++app) {
        const QByteArray name = "/app-" + QByteArray::number(app);
        appFolder(home + "/.config" + name, 6, 2);
        appFolder(home + "/.local/share" + name, 10, 3);
        appFolder(home + "/.local/state" + name, 2, 0);
        file(home + "/.local/share/applications/org.vendor" + name + ".desktop", 400);
    }
    for (int cache = 0; cache < 10; ++cache)
        cacheFolder(home + "/.cache/cache-" + QByteArray::number(cache), 12);
    for (int app = 0; app < 100; ++app)
        appFolder(home + "/.var/app/org.flat.App" + QByteArray::number(app), 8, 2);
    // The application's own items, a few levels down here and there.
    appFolder(home + "/.config/notepad", 4, 1);
    appFolder(home + "/.local/share/Note Pad", 4, 1);
    file(home + "/.local/share/app-3/sub1/com.example.notepad.state", 100);
    file(home + "/.local/share/applications/com.example.notepad.desktop", 100);
    appFolder(home + "/.cache/NotePad", 3, 1);
    appFolder(home + "/Applications/Note Pad.app/Contents", 1, 0);
    file(home + "/Applications/Note Pad.app/Contents/Info.plist", 0);
    QFile plist(root + "/Applications/Note Pad.app/Contents/Info.plist");
    if (plist.open(QIODevice::WriteOnly))
        plist.write(
            "<plist><dict><key>CFBundleIdentifier</key><string>com.example.notepad</string></"
            "dict></plist>");
}

QByteArray runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    return process.readAllStandardOutput();
}

// A search's text as find's -iname takes it: its wildcard characters literal.
QString findPattern(const NameSearch& search) {
    QString text;
    for (const QChar c : search.text) {
        if (c == u'*' || c == u'?' || c == u'[' || c == u'\\') text += u'\\';
        text += c;
    }
    return search.wholeName ? text : u'*' + text + u'*';
}

// The searches as separate find runs, one per search and folder, with the same filters
// (the shared places of the desktop left out) and repeats dropped, as the search was
// first made.
QList<Path> searchWithFind(const Path& app, const QList<Path>& appDirs, const Path& home) {
    const QList<NameSearch> searches = AppNames::forApplication(app).searches();
    QList<Path> found;
    QSet<Path> seen{app};
    for (const Path& dir : appDirs) {
        for (const NameSearch& search : searches) {
            const QByteArray out =
                runTool("/usr/bin/find", {QString::fromUtf8(dir.bytes()), "-xdev", "-maxdepth",
                                          QString::number(searchDepthFor(dir)), "-iname",
                                          findPattern(search), "-print"});
            for (const QByteArray& line : out.split('\n')) {
                const Path path(line);
                if (path.isEmpty() || !keepsFoundPath(path, search) ||
                    isInSharedPlace(path, home) || seen.contains(path))
                    continue;
                seen.insert(path);
                found << path;
            }
        }
    }
    return found;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    // The tree is only read, so a complete one from an earlier run is used again: making
    // and removing 200,000 entries costs minutes on a slow disk.
    QString base = qEnvironmentVariable("DESKTIDY_BENCH_DIR");
    if (base.isEmpty()) base = QDir::tempPath();
    const QString root = base + "/desktidy-bench-trash-home";
    const QString marker = root + "/.complete-" + QString::number(treeShape);
    if (QFile::exists(marker)) {
        std::printf("tree reused from %s\n", qPrintable(root));
    } else {
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        const double built = secondsOf([&] { buildHome(root); });
        QFile(marker).open(QIODevice::WriteOnly);
        std::printf("tree of %d entries built in %s in %.1f s\n", entries, qPrintable(root), built);
    }
    const Path home = Path::fromText(root), trash = home / ".local/share/Trash";
    QList<Path> appDirs;  // as the program's own list of data folders resolves for this home
    for (const char* d : dataFolders) appDirs << Path(home.bytes() + d);
    const Path app = home / "Applications/Note Pad.app";
    LocalFileSystem files;

    // Warm the caches for both sides, and check that they agree.
    const QString label = itemLabelFor(home, files);
    const QByteArray du = runTool("/usr/bin/du", {"-k", "-d", "0", root});
    const QString duLabel = itemLabel(home, du.split('\t').value(0).toLongLong() * 1024);
    if (label != duLabel)
        std::printf("MISMATCH label %s vs du %s\n", qPrintable(label), qPrintable(duLabel));
    QList<Path> ours = relatedFiles(AppNames::forApplication(app), app, appDirs, home, trash);
    QList<Path> theirs = searchWithFind(app, appDirs, home);
    std::printf("found %lld related items\n", static_cast<long long>(ours.size()));
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    if (ours != theirs)
        std::printf("MISMATCH search: %lld items vs find: %lld items\n",
                    static_cast<long long>(ours.size()), static_cast<long long>(theirs.size()));

    std::vector<double> labelTimes, duTimes, searchTimes, findTimes;
    for (int round = 0; round < 5; ++round) {
        labelTimes.push_back(secondsOf([&] { itemLabelFor(home, files); }));
        duTimes.push_back(secondsOf([&] { runTool("/usr/bin/du", {"-k", "-d", "0", root}); }));
        searchTimes.push_back(secondsOf(
            [&] { relatedFiles(AppNames::forApplication(app), app, appDirs, home, trash); }));
        findTimes.push_back(secondsOf([&] { searchWithFind(app, appDirs, home); }));
    }
    std::printf("label %.3f s, du %.3f s, search %.3f s, find %.3f s (medians of 5)\n",
                median(labelTimes), median(duTimes), median(searchTimes), median(findTimes));
    report("label_ratio", median(labelTimes) / median(duTimes));
    report("search_ratio", median(searchTimes) / median(findTimes));
    report("peak_rss_mb", peakResidentMegabytes());
    return 0;
}
