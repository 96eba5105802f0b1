// Files and unfiles a folder of many loose files through the controller, and times the
// floor in the same run: a bare loop of no-replace renames moving the same files to the
// same places and back. Prints filing_ratio and unfiling_ratio (program / floor, in
// processor seconds, best of five interleaved rounds), the same ratios in wall seconds,
// and the program's peak resident memory. filing_plan_share is the part of filing's
// processor time that working out its plan takes (planned alone, on the same folder), and
// filing_planning_share what planning adds to filing: the plan's time less that of the
// listing and type lookup that filing made before it had plans. The floor runs in a
// forked child, so its path lists do not count towards that peak. Then a scale point, a
// folder of a million files: filing_1m_ratio to the floor and filing_1m_peak_rss_mb, the
// peak memory of that part alone.
//   bench_filing [FILE_COUNT [SCALE_COUNT]]   (100000 and 1000000 by default; 0 skips)

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/desktidy_controller.h"
#include "bench_support.h"
#include "filing/filer.h"
#include "filing/type_table.h"
#include "platform/preset_path_chooser.h"
#include "platform/process_memory.h"
#include "platform/terminal_prompter.h"
#include "runs/journaling_file_system.h"

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

// Processor seconds (user and system) this process spends on one call. The machine is
// shared, so wall time mostly measures the wait for a processor; this is the work itself.
struct Times {
    double wall = 0, processor = 0;
};
template <typename F>
Times timesOf(F&& work) {
    auto processorNow = [] {
        rusage usage;
        ::getrusage(RUSAGE_SELF, &usage);
        auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
        return seconds(usage.ru_utime) + seconds(usage.ru_stime);
    };
    const double before = processorNow();
    Times times;
    times.wall = secondsOf(work);
    times.processor = processorNow() - before;
    return times;
}

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

class SilentNotifier : public Notifier {
  public:
    void notify(const QString&, const QString&, const QString&) override {}
};

// The times of one round trip: filing, then unfiling.
struct RoundTrip {
    Times filing, unfiling;
};

// Keeps the best of several rounds, on each measure separately.
void keepBest(RoundTrip& best, const RoundTrip& round) {
    for (auto [b, r] :
         {std::pair{&best.filing, &round.filing}, {&best.unfiling, &round.unfiling}}) {
        b->wall = std::min(b->wall, r->wall);
        b->processor = std::min(b->processor, r->processor);
    }
}

// In a child process: the same moves as bare renames, there and back.
RoundTrip timeFloor(const QString& folder, const Settings& settings, int count) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) std::abort();
    const pid_t child = ::fork();
    if (child == 0) {
        const TypeTable table(settings);
        std::vector<std::string> categoryFolders;
        for (int k = 1; k <= Settings::categoryCount; ++k)
            categoryFolders.push_back(native(folder + u'/' + settings.folderNames[k]));
        std::vector<std::pair<std::string, std::string>> moves;
        for (int i = 0; i < count; ++i) {
            const QString name = nameOf(i);
            const int k = table.categoryOf(name.toUtf8());
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
        RoundTrip times;
        times.filing = timesOf([&] {
            for (const std::string& f : categoryFolders) ::mkdir(f.c_str(), 0777);
            renameAll(false);
        });
        times.unfiling = timesOf([&] {
            renameAll(true);
            for (const std::string& f : categoryFolders) ::rmdir(f.c_str());
        });
        if (::write(pipeEnds[1], &times, sizeof times) != sizeof times) ::_exit(1);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    RoundTrip times;
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

// Makes folder with count loose files, named as nameOf names them.
bool makeLooseFiles(const QString& folder, int count) {
    ::mkdir(native(folder).c_str(), 0777);
    for (int i = 0; i < count; ++i) {
        const int fd = ::open(native(folder + u'/' + nameOf(i)).c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0) return false;
        ::close(fd);
    }
    return true;
}

// Best of rounds interleaved round trips of the program and of the floor on folder, with
// the best times of planning filing alone and of the listing and type lookup under it.
struct Measured {
    RoundTrip program, floor;
    double planning, listing;
};

// nullopt when a run did not move what it should have.
std::optional<Measured> measure(DesktidyController& controller, FileSystem& files,
                                const QString& folder, int count, int rounds) {
    int unmatched = 0;
    const TypeTable table(controller.draft());
    for (int i = 0; i < count; ++i) unmatched += table.categoryOf(nameOf(i).toUtf8()) == noCategory;
    controller.draft().workingFolder = folder;

    const Times unset{1e9, 1e9};
    RoundTrip program{unset, unset}, floor{unset, unset};
    const Path desk = Path::fromText(folder);
    auto namesInDesk = [&] { return int(files.listNames(desk, true).size()); };
    double planning = 1e9, listing = 1e9;
    for (int round = 0; round < rounds; ++round) {
        RoundTrip once;
        RunResult filed = RunResult::Failed, unfiled = RunResult::Failed;
        // The listing first, so that the plan does not pay for reading the folder cold.
        int listed = 0;
        listing = std::min(listing, timesOf([&] {
                                        const TypeTable types(controller.draft());
                                        const NameList names = files.listNames(desk, false);
                                        for (std::size_t i = 0; i < names.size(); ++i)
                                            listed += types.categoryOf(names.at(i)) != noCategory;
                                    }).processor);
        if (listed != count - unmatched) return std::nullopt;
        qsizetype planned = 0;
        planning = std::min(
            planning, timesOf([&] {
                          planned = Filer(files).planFiling(desk, controller.draft()).stepsToMake();
                      }).processor);
        if (planned != count - unmatched) return std::nullopt;
        once.filing = timesOf([&] { filed = controller.fileFolder(controller.workingFolder()); });
        // Every matching file has left the top level, which holds the category folders.
        if (filed != RunResult::Done || namesInDesk() != unmatched + Settings::categoryCount)
            return std::nullopt;
        once.unfiling =
            timesOf([&] { unfiled = controller.unfileFolder(controller.workingFolder()); });
        if (unfiled != RunResult::Done || namesInDesk() != count) return std::nullopt;
        keepBest(program, once);
        keepBest(floor, timeFloor(folder, controller.draft(), count));
    }
    return Measured{program, floor, planning, listing};
}

// Starts the peak resident memory afresh from what the process holds now, so that a
// later figure is that of the work after this point.
void resetPeakMemory() {
    ::malloc_trim(0);
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly)) clearRefs.write("5");
}

}  // namespace

int main(int argc, char** argv) {
    giveLargeBlocksBackWhenFreed();  // as the program's main does
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int scaleCount = argc > 2 ? std::atoi(argv[2]) : 1000000;
    const QString root = benchmarkFolder("filing");
    // The settings and the recent-folders list land in the benchmark's own home.
    qputenv("HOME", QFile::encodeName(root + "/home"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/home/.config"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(root + "/home/.local/state"));
    const QString folder = root + "/Desk";
    if (!makeLooseFiles(folder, count)) return 1;

    QString discarded;
    QTextStream in(stdin), err(&discarded);
    TerminalPrompter prompter(in, err, {true, false, false});  // answers "OK", shows nothing
    SilentNotifier notifier;
    PresetPathChooser chooser;
    // As the program runs: through the run pipeline, every move into the run's record first.
    LocalFileSystem local;
    JournalingFileSystem files(local, desktidyStateFolder(root + "/home"));
    ProcessToolRunner tools;
    Services services{
        prompter, notifier, chooser, files, tools, ToolPaths{}, UserEnvironment::fromProcess(),
        QString()};
    DesktidyController controller(services, BundleDefaults::fromResources());
    controller.start({QStringLiteral("desktidy")});

    int unmatched = 0;
    const TypeTable table(controller.draft());
    for (int i = 0; i < count; ++i) unmatched += table.categoryOf(nameOf(i).toUtf8()) == noCategory;
    report("files", count);
    report("unmatched_fraction", double(unmatched) / count);

    if (count > 0) {
        const auto measured = measure(controller, files, folder, count, 5);
        if (!measured) return 2;
        const auto& [program, floor, planning, listing] = *measured;
        report("filing_wall_seconds", program.filing.wall);
        report("floor_filing_wall_seconds", floor.filing.wall);
        report("unfiling_wall_seconds", program.unfiling.wall);
        report("floor_unfiling_wall_seconds", floor.unfiling.wall);
        report("filing_wall_ratio", program.filing.wall / floor.filing.wall);
        report("unfiling_wall_ratio", program.unfiling.wall / floor.unfiling.wall);
        report("filing_ratio", program.filing.processor / floor.filing.processor);
        report("unfiling_ratio", program.unfiling.processor / floor.unfiling.processor);
        report("filing_plan_seconds", planning);
        report("filing_listing_seconds", listing);
        report("filing_plan_share", planning / program.filing.processor);
        report("filing_planning_share", (planning - listing) / program.filing.processor);
        report("filing_peak_rss_mb", peakResidentMegabytes());
    }
    QDir(folder).removeRecursively();

    // The scale point: one folder of a million items, two rounds (the first warms the
    // file system's caches); its peak memory counts from here on.
    if (scaleCount > 0) {
        const QString big = root + "/Big";
        if (!makeLooseFiles(big, scaleCount)) return 1;
        resetPeakMemory();
        const auto measured = measure(controller, files, big, scaleCount, 2);
        if (!measured) return 4;
        const auto& program = measured->program;
        const auto& floor = measured->floor;
        report("filing_1m_ratio", program.filing.processor / floor.filing.processor);
        report("filing_1m_peak_rss_mb", peakResidentMegabytes());
    }
    QDir(root).removeRecursively();
    return 0;
}
