// Starts the window as `desktidy` does, with the services of a real run, shows each
// window worth a picture and writes it as a PNG into the folder given. scripts/screenshots
// runs it under Xvfb with a prepared temporary home.
#include <QApplication>
#include <QDir>
#include <QTimer>

#include "app/desktidy_controller.h"
#include "app/gui/desktop_services.h"
#include "app/gui/main_window.h"
#include "app/gui/name_change_window.h"
#include "app/gui/removal_panel.h"
#include "app/gui/setup_panel.h"
#include "platform/preset_path_chooser.h"

namespace {

bool save(QWidget* window, const QString& folder, const QString& name) {
    QCoreApplication::processEvents();
    const bool ok = window->grab().save(folder + u'/' + name + QStringLiteral(".png"));
    if (!ok) qWarning("could not write %s", qPrintable(name));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Desktidy"));
    const QString out =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")).absolutePath();
    QDir().mkpath(out);

    DesktopServices desktop;
    // Open panels are answered from here, so no dialog waits for a click.
    PresetPathChooser chooser;
    const Services real = desktop.services();
    DesktidyController controller(
        Services{real.prompter, real.notifier, chooser, real.files, real.tools, real.toolPaths,
                 real.user, real.settingsFile},
        BundleDefaults::fromResources());
    controller.awakeFromNib({QStringLiteral("desktidy")});

    // A few rows, so the tables show what they are for.
    const QString home = desktop.user.home;
    controller.draft.listedFolders = {home + QStringLiteral("/Desktop"),
                                      home + QStringLiteral("/Downloads")};
    controller.draft.packRows = {
        {home + QStringLiteral("/Documents/Taxes"), QStringLiteral("/media/stick")},
        {home + QStringLiteral("/Music/Mix.m3u"), QStringLiteral("/media/stick/")}};
    controller.draft.unpackRows = {
        {QStringLiteral("/media/stick/Taxes"), home + QStringLiteral("/Documents")},
        {QStringLiteral("/media/stick/Mix.m3u"), home + QStringLiteral("/Music")}};

    MainWindow window(controller, desktop.state);
    desktop.attachTo(&window);
    window.refresh();
    window.show();
    bool ok = save(&window, out, QStringLiteral("main-window"));

    SetupPanel* setup = window.setupPanel();
    const struct {
        SetupPanel::Pane pane;
        const char* name;
    } panes[] = {{SetupPanel::General, "setup-general"},
                 {SetupPanel::Folders, "setup-folders"},
                 {SetupPanel::Schedule, "setup-schedule"},
                 {SetupPanel::Pack, "setup-pack"}};
    for (const auto& p : panes) {
        setup->doSetupPanel(p.pane);
        ok = save(setup, out, QString::fromLatin1(p.name)) && ok;
    }
    setup->hide();

    NameChangeOptions& names = controller.nameChangeOptions;
    names.replaceCheck = names.ignoreCaseCheck = true;
    names.replace1TextField = QStringLiteral("beach");
    names.replace2TextField = QStringLiteral("Sea");
    names.prefixStringCheck = names.prefixNumber2Check = true;
    names.prefixTextField = QStringLiteral("Trip-");
    window.nameChangeWindow()->changeNames();
    ok = save(window.nameChangeWindow(), out, QStringLiteral("name-change")) && ok;
    window.nameChangeWindow()->hide();

    // The removal list of an application the prepared home holds, with one row kept.
    chooser.setNextAnswer(QStringList{home + QStringLiteral("/Applications/Note Pad.app")});
    if (controller.deleteApp()) {
        if (controller.appDisplayArray.size() > 1) controller.clickedDelAppCheck(1);
        window.removalPanel()->showList();
        ok = save(window.removalPanel(), out, QStringLiteral("removal-panel")) && ok;
    } else {
        qWarning("no application to list");
        ok = false;
    }
    return ok ? 0 : 1;
}
