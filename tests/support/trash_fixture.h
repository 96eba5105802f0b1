#pragma once

#include <gtest/gtest.h>

#include "platform/preset_path_chooser.h"
#include "support/fake_tool_runner.h"
#include "support/faulty_file_system.h"
#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"
#include "trash/trash_services.h"

// A temporary home with its Trash, fakes for every service and a fixed clock.
class TrashTest : public ::testing::Test {
  protected:
    TempHome home;
    FaultyFileSystem files;
    ScriptedPrompter prompter;
    PresetPathChooser chooser;
    FakeToolRunner tools;
    QDateTime clock = QDateTime(QDate(2024, 3, 9), QTime(14, 5, 9));
    TrashServices services{prompter,
                           chooser,
                           files,
                           tools,
                           ToolPaths{},
                           TrashLocation::forHome(asPath(home.path())),
                           asPath(home.path()),
                           [this] { return clock; }};

    QString trashFiles() const { return text(services.trash.files()); }
    QString deletedApps() const { return trashFiles() + "/DKT Deleted Apps"; }
    QString recordOf(const QString& name) const {
        return text(services.trash.infoFileFor(name.toUtf8()));
    }
    bool exists(const QString& path) { return files.exists(asPath(path)); }
};
