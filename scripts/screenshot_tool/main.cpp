// Starts the window as `desktidy` does, with the services of a real run, shows each
// window worth a picture and writes it as a PNG into the folder given. scripts/screenshots
// runs it under Xvfb with a prepared temporary home.
//   desktidy_screenshots FOLDER [SUFFIX] [--dark] [--only NAME,NAME...]
// SUFFIX ends each file name ("-dark"); --dark shows the windows with a dark palette.
#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QStyleFactory>
#include <QTimer>

#include "app/desktidy_controller.h"
#include "app/gui/app_actions.h"
#include "app/gui/desktop_services.h"
#include "app/gui/main_window.h"
#include "app/gui/name_change_window.h"
#include "app/gui/removal_panel.h"
#include "app/gui/setup_panel.h"
#include "app/gui/trash_panel.h"
#include "platform/preset_path_chooser.h"
#include "trash/trash_listing.h"

namespace {

QString suffix;
QStringList only;  // empty: every picture

bool save(QWidget* window, const QString& folder, const QString& name) {
    if (!only.isEmpty() && !only.contains(name)) return true;
    QCoreApplication::processEvents();
    const QString file = folder + u'/' + name + suffix + QStringLiteral(".png");
    const bool ok = window->grab().save(file);
    if (!ok) qWarning("could not write %s", qPrintable(file));
    return ok;
}

QPalette darkPalette() {
    QPalette p;
    const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Desktidy"));
    const QStringList args = QApplication::arguments();
    const QString out = QDir(args.size() > 1 ? args.at(1) : QStringLiteral(".")).absolutePath();
    QDir().mkpath(out);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    for (qsizetype i = 2; i < args.size(); ++i) {
        if (args.at(i) == u"--dark")
            QApplication::setPalette(darkPalette());
        else if (args.at(i) == u"--only" && i + 1 < args.size())
            only = args.at(++i).split(u',');
        else
            suffix = args.at(i);
    }

    DesktopServices desktop;
    // Open panels are answered from here, so no dialog waits for a click.
    PresetPathChooser chooser;
    const Services real = desktop.services();
    DesktidyController controller(
        Services{real.prompter, real.notifier, chooser, real.files, real.tools, real.toolPaths,
                 real.user, real.settingsFile},
        BundleDefaults::fromResources());
    controller.start({QStringLiteral("desktidy")});

    // A few rows, so the tables show what they are for.
    const QString home = desktop.user.home;
    controller.draft().listedFolders = {home + QStringLiteral("/Desktop"),
                                        home + QStringLiteral("/Downloads")};
    controller.draft().packRows = {
        {home + QStringLiteral("/Documents/Taxes"), QStringLiteral("/media/stick")},
        {home + QStringLiteral("/Music/Mix.m3u"), QStringLiteral("/media/stick/")}};
    controller.draft().unpackRows = {
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

    NameChangeOptions names;
    names.replaceCheck = names.ignoreCaseCheck = true;
    names.replace1TextField = QStringLiteral("beach");
    names.replace2TextField = QStringLiteral("Sea");
    names.prefixStringCheck = names.prefixNumber2Check = true;
    names.prefixTextField = QStringLiteral("Trip-");
    window.nameChangeWindow()->setOptions(names);
    window.nameChangeWindow()->changeNames();
    ok = save(window.nameChangeWindow(), out, QStringLiteral("name-change")) && ok;
    window.nameChangeWindow()->hide();

    window.actions()->deleteTrashItems->trigger();
    ok = save(window.trashPanel(), out, QStringLiteral("trash-panel")) && ok;
    window.trashPanel()->hide();

    // The removal list of an application the prepared home holds, with one row kept.
    RemovalChecklist checklist =
        controller.planRemoval(Path::fromText(home + QStringLiteral("/Applications/Note Pad.app")));
    if (checklist.size() > 0) {
        if (checklist.size() > 1) checklist.toggle(1);
        window.removalPanel()->showList(std::move(checklist));
        ok = save(window.removalPanel(), out, QStringLiteral("removal-panel")) && ok;
    } else {
        qWarning("no application to list");
        ok = false;
    }
    return ok ? 0 : 1;
}
