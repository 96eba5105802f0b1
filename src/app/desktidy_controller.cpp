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
    : services(std::move(s)),
      osUser(services.user.user),
      osHome(services.user.home),
      myDefaults(std::move(bundle.myDefaults)),
      myAppDirs(std::move(bundle.myAppDirs)),
      store_(services.settingsFile.isEmpty() ? SettingsStore::defaultFilePath(osHome)
                                             : services.settingsFile) {}

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

void DesktidyController::awakeFromNib(const QStringList& arguments) {
    getSettings();
    if (!previewOnly) saveSetup();

    if (draft.workingFolder.isEmpty() || draft.workingFolder == u"/none")
        draft.workingFolder = desktopFolderOf(osHome);

    appDirArray =
        resolveAppDirs(myAppDirs.value(QStringLiteral("appDirs")).toList(), osUser, osHome);

    argumentsArray = arguments;
    dktCommand = buildDktCommand(executablePath(argumentsArray.value(0)), settingsHomeForJobs())
                     .value_or(QString());
    scheduled = scheduledRunNumber(argumentsArray);
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
    if (QDir::cleanPath(file) == QDir::cleanPath(osHome + QStringLiteral("/.config") + suffix) ||
        !file.endsWith(suffix))
        return QString();
    return file.chopped(suffix.size());
}

std::optional<RunResult> DesktidyController::applicationDidFinishLaunching() {
    if (scheduled == 0) return std::nullopt;
    // The scheduled run files every listed folder without asking and ends the process.
    return fileAllStashery();
}

void DesktidyController::noteRecentFolder(const Path& folder) {
    if (isFolderOrLinkToOne(folder))
        RecentFolders(RecentFolders::defaultFilePath(osHome)).note(folder);
}

bool DesktidyController::openFile(const QString& path) {
    draft.workingFolder = path;
    return true;
}

void DesktidyController::getSettings() {
    store_.load(saved_, myDefaults, osHome);
    draft = saved_;
    categoryRow_ = 1;
}

void DesktidyController::saveSetup() {
    store_.save(draft);
    saved_ = draft;
}

void DesktidyController::saveSetupButton() {
    saveSetup();
    services.prompter.notice(QStringLiteral("The Setup has been saved."));
}

void DesktidyController::cancelSetup() { getSettings(); }

void DesktidyController::resetSetup() {
    restoreDefaults(draft, myDefaults, osHome);
    categoryRow_ = 1;
    saveSetup();
}
