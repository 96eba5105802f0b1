#pragma once

#include <QString>
#include <QStringList>

#include "platform/prompter.h"
#include "platform/run_result.h"
#include "tools/tool_runner.h"

// The systemd user unit desktidy-watch.service, which runs `desktidy watch` for the user
// from login to logout and again when it fails; its output goes to the journal. Managed
// through systemctl --user.
class WatchService {
  public:
    struct Places {
        QString systemctl;           // the tool
        QString executable;          // this program, for a unit of the user's own
        QString userUnitFolder;      // $XDG_CONFIG_HOME/systemd/user
        QStringList installedUnits;  // the folders a package puts user units in
    };
    static const QString unitName;  // "desktidy-watch.service"

    WatchService(ToolRunner& tools, Prompter& prompter, Places places)
        : tools_(tools), prompter_(prompter), places_(std::move(places)) {}

    // The usual places for a user whose configuration lives in configHome.
    static Places placesFor(const QString& configHome, const QString& systemctl,
                            const QString& executable);

    // Enables and starts the unit. Where no package installed one (a program run from its
    // build folder), writes one for the user first that runs this program. Tells the user
    // how it went; a missing user service manager is said so.
    RunResult install();
    // Stops and disables it, and removes the unit install wrote, if it wrote one.
    RunResult uninstall();

    enum class State { Running, NotRunning, NoServiceManager };
    State state();

    static const QString installedMessage;
    static const QString uninstalledMessage;
    static const QString noManagerMessage;

  private:
    ToolResult systemctl(const QStringList& arguments);
    // False, after telling the user why, when there is no user service manager to ask.
    bool managerRunning();
    bool unitInstalled() const;
    QString userUnitPath() const;
    bool writeUserUnit();
    bool succeeded(const ToolResult& result, const QString& what);

    ToolRunner& tools_;
    Prompter& prompter_;
    Places places_;
};

// The text of a unit that runs executable's watch.
QByteArray watchUnitText(const QString& executable);
