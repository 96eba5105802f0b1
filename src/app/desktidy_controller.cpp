#include "app/desktidy_controller.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "platform/recent_folders.h"
#include "platform/text.h"
#include "schedule/crontab_entry.h"

namespace {

// The executable as the crontab must name it: cron neither starts in our folder nor
// searches our PATH, so a relative or bare name is resolved to the running program.
QString executablePath(const QString& argumentZero) {
    if (QDir::isAbsolutePath(argumentZero)) return argumentZero;
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return self.isEmpty() ? QDir::current().absoluteFilePath(argumentZero) : self;
}

}  // namespace

bool isFolderOrLinkToOne(const Path& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DesktidyController::DesktidyController(Services s, BundleDefaults bundle)
    : services_(std::move(s)),
      pipeline_(services_.files, services_.prompter, services_.notifier),
      user_(services_.user.user),
      home_(services_.user.home),
      defaults_(std::move(bundle.myDefaults)),
      applicationFolderPatterns_(std::move(bundle.myAppDirs)),
      store_(services_.settingsFile.isEmpty() ? SettingsStore::defaultFilePath(home_)
                                              : services_.settingsFile) {}

DesktidyController::~DesktidyController() = default;

QStringList resolveAppDirs(const QVariantList& patterns, const QString& user, const QString& home) {
    QStringList dirs;
    for (const QVariant& pattern : patterns) {
        QString dir = pattern.toString();
        dir.replace(QStringLiteral("[home]"), user);
        if (dir == u"~")
            dir = home;
        else if (dir.startsWith(QStringLiteral("~/")))
            dir = home + dir.mid(1);
        dirs.append(dir);
    }
    return dirs;
}

void DesktidyController::start(const QStringList& arguments) {
    loadSettings();

    if (draft_.workingFolder.isEmpty() || draft_.workingFolder == u"/none")
        draft_.workingFolder = desktopFolderOf(home_);

    applicationDataFolders_.clear();
    for (const QString& folder : resolveAppDirs(
             applicationFolderPatterns_.value(QStringLiteral("appDirs")).toList(), user_, home_))
        applicationDataFolders_.append(Path::fromText(folder));

    executable_ = executablePath(arguments.value(0));
    cronCommand_ =
        buildDktCommand(executable_, settingsHomeForJobs(), stateHomeForJobs()).value_or(QString());
    scheduledRun_ = scheduledRunNumber(arguments);
}

int scheduledRunNumber(const QStringList& arguments) {
    // Digits alone: a folder named "3d-models" must never file every listed folder.
    const QString argument = arguments.value(1);
    const bool digitsAlone =
        !argument.isEmpty() && std::all_of(argument.begin(), argument.end(),
                                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    return digitsAlone ? leadingInteger(argument) : 0;
}

QString DesktidyController::settingsHomeForJobs() const {
    // Cron starts the job without the session's XDG_CONFIG_HOME; hand it over when the
    // settings live anywhere but the default place.
    const QString suffix = QStringLiteral("/Desktidy/Desktidy.conf");
    const QString file = store_.filePath();
    if (QDir::cleanPath(file) == QDir::cleanPath(home_ + QStringLiteral("/.config") + suffix) ||
        !file.endsWith(suffix))
        return QString();
    return file.chopped(suffix.size());
}

QString DesktidyController::stateHomeForJobs() const {
    // Nor XDG_STATE_HOME: without it the scheduled run's record would go where the user's
    // history and undo never look.
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state) ||
        QDir::cleanPath(state) == QDir::cleanPath(home_ + QStringLiteral("/.local/state")))
        return QString();
    return QDir::cleanPath(state);
}

std::optional<RunResult> DesktidyController::runScheduledFiling() {
    if (scheduledRun_ == 0) return std::nullopt;
    // The crontab entry outlives the list (emptied, or the settings gone): say what is
    // wrong and how to mend it, rather than "done filing".
    if (distinctListedFolders().isEmpty()) {
        services_.prompter.notice(QStringLiteral(
            "desktidy: the scheduled run found no folders listed, so it filed nothing. List "
            "folders with \u201cdesktidy folders add FOLDER...\u201d or in the window's Setup, "
            "or take the schedule out with \u201cdesktidy schedule --remove\u201d."));
        return RunResult::Done;
    }
    return fileListedFolders(Starter::Schedule);
}

void DesktidyController::noteRecentFolder(const Path& folder) {
    if (isFolderOrLinkToOne(folder))
        RecentFolders(RecentFolders::defaultFilePath(home_)).note(folder);
}

void DesktidyController::setWorkingFolder(const QString& folder) { draft_.workingFolder = folder; }

void DesktidyController::loadSettings() {
    store_.load(saved_, defaults_, home_);
    draft_ = saved_;
    shownCategoryRow_ = 1;
}

void DesktidyController::saveSetup() {
    store_.save(draft_);
    saved_ = draft_;
}

void DesktidyController::cancelSetup() { loadSettings(); }

void DesktidyController::reloadSettings() {
    store_.reread();
    loadSettings();
}

void DesktidyController::resetSetup() {
    restoreDefaults(draft_, defaults_, home_);
    shownCategoryRow_ = 1;
    saveSetup();
}
