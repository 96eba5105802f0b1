// Files and unfiles a folder of many loose files through the controller, and times the
// floor in the same run: a bare loop of no-replace renames moving the same files to the
// same places and back. Prints filing_ratio and unfiling_ratio (program time / floor
// time, best of five rounds each) and the program's peak resident memory. The floor
// runs in a forked child, so its path lists do not count towards that peak.
//   bench_filing [FILE_COUNT]   (100000 by default)

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/desktidy_controller.h"
#include "bench_support.h"
#include "filing/type_table.h"
#include "platform/preset_path_chooser.h"
#include "platform/terminal_prompter.h"

namespace {

// A desktop's mix of types, weighted; the last few (about a tenth) match no list.
struct Weighted {
    const char* extension;
    int weight;
};
const Weighted mix[] = {
    {"jpg", 18}, {"png", 10}, {"pdf", 10}, {"JPG", 4},  {"docx", 5}, {"txt", 5}, {"zip", 5},
    {"mp3", 5},  {"mp4", 5},  {"csv", 3},  {"xlsx", 3}, {"html", 3}, {"psd", 2}, {"mov", 2},
    {"gz", 2},   {"heic", 2}, {"json", 2}, {"md", 2},   {"pptx", 2}, {"dmg", 1}, {"wav", 1},
    {"log", 3},  {"bak", 2},  {"", 3},     {"c", 1},    {"tmp", 1}};

// The name of file i: its extension spread evenly over the mix by weight.
QString nameOf(int i) {
    int total = 0;
    for (const Weighted& w : mix) total += w.weight;
    int pick = int((i * 7919L) % total), k = 0;
    while (pick >= mix[k].weight) pick -= mix[k++].weight;
    QString name = QStringLiteral("file %1").arg(i);
    if (*mix[k].extension) name += u'.' + QString::fromLatin1(mix[k].extension);
    return name;
}

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

class SilentNotifier : public Notifier {
public:
    void notify(const QString&, const QString&, const QString&) override {}
};

struct FloorTimes {
    double filing = 0, unfiling = 0;
};

// In a child process: the same moves as bare renames, there and back.
FloorTimes timeFloor(const QString& folder, const Settings& settings, int count) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) std::abort();
    const pid_t child = ::fork();
    if (child == 0) {
        const TypeTable table(settings);
        std::vector<std::string> categoryFolders;
        for (int k = 1; k <= Settings::categoryCount; ++k)
            categoryFolders.push_back(native(folder + u'/' + settings.fileFoldersArray[k]));
        std::vector<std::pair<std::string, std::string>> moves;
        for (int i = 0; i < count; ++i) {
            const QString name = nameOf(i);
            const int k = table.categoryOf(name);
            if (k != noCategory)
                moves.emplace_back(native(folder + u'/' + name),
                                   categoryFolders[k - 1] + '/' + native(name));
        }
        // Folder by folder in name order, as the program goes.
        std::sort(moves.begin(), moves.end(),
                  [](const auto& a, const auto& b) { return a.second < b.second; });
        auto renameAll = [&](bool back) {
            for (const auto& [loose, filed] : moves) {
                const char* from = back ? filed.c_str() : loose.c_str();
                const char* to = back ? loose.c_str() : filed.c_str();
                if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) != 0) ::_exit(1);
            }
        };
        FloorTimes times;
        times.filing = secondsOf([&] {
            for (const std::string& f : categoryFolders) ::mkdir(f.c_str(), 0777);
            renameAll(false);
        });
        times.unfiling = secondsOf([&] {
            renameAll(true);
            for (const std::string& f : categoryFolders) ::rmdir(f.c_str());
        });
        if (::write(pipeEnds[1], &times, sizeof times) != sizeof times) ::_exit(1);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    FloorTimes times;
    const bool read = ::read(pipeEnds[0], &times, sizeof times) == sizeof times;
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!read || status != 0) {
        std::fprintf(stderr, "the floor's renames failed\n");
        std::exit(1);
    }
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const QString root = benchmarkFolder("filing");
    // The settings and the recent-folders list land in the benchmark's own home.
    qputenv("HOME", QFile::encodeName(root + "/home"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/home/.config"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(root + "/home/.local/state"));
    const QString folder = root + "/Desk";
    ::mkdir(native(folder).c_str(), 0777);
    for (int i = 0; i < count; ++i) {
        const int fd = ::open(native(folder + u'/' + nameOf(i)).c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0) return 1;
        ::close(fd);
    }

    QString discarded;
    QTextStream in(stdin), err(&discarded);
    TerminalPrompter prompter(in, err, {true, false, false});  // answers "OK", shows nothing
    SilentNotifier notifier;
    PresetPathChooser chooser;
    LocalFileSystem files;
    ProcessToolRunner tools;
    Services services{
        prompter, notifier, chooser, files, tools, ToolPaths{}, UserEnvironment::fromProcess(),
        QString()};
    DesktidyController controller(services, BundleDefaults::fromResources());
    controller.awakeFromNib({QStringLiteral("desktidy")});
    controller.form.myPathControl = folder;

    int unmatched = 0;
    const TypeTable table(controller.settings);
    for (int i = 0; i < count; ++i) unmatched += table.categoryOf(nameOf(i)) == noCategory;
    report("files", count);
    report("unmatched_fraction", double(unmatched) / count);

    double filing = 1e9, unfiling = 1e9;
    FloorTimes floor{1e9, 1e9};
    for (int round = 0; round < 5; ++round) {
        filing = std::min(filing, secondsOf([&] { controller.desktidy(); }));
        // Every matching file has left the top level, which holds the category folders.
        if (files.listNames(folder, true).size() != unmatched + Settings::categoryCount) return 2;
        unfiling = std::min(unfiling, secondsOf([&] { controller.undesktidy(); }));
        if (files.listNames(folder, true).size() != count) return 3;

        const FloorTimes once = timeFloor(folder, controller.settings, count);
        floor.filing = std::min(floor.filing, once.filing);
        floor.unfiling = std::min(floor.unfiling, once.unfiling);
    }
    report("filing_seconds", filing);
    report("floor_filing_seconds", floor.filing);
    report("unfiling_seconds", unfiling);
    report("floor_unfiling_seconds", floor.unfiling);
    report("filing_ratio", filing / floor.filing);
    report("unfiling_ratio", unfiling / floor.unfiling);
    report("filing_peak_rss_mb", peakResidentMegabytes());
    QDir(root).removeRecursively();
    return 0;
}
