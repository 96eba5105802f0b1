#include "app/cli/archive_date_command.h"
#include "app/cli/command.h"
#include "app/cli/folders_command.h"
#include "app/cli/history_command.h"
#include "app/cli/pack_command.h"
#include "app/cli/pack_list_command.h"
#include "app/cli/remove_app_command.h"
#include "app/cli/rename_command.h"
#include "app/cli/schedule_command.h"
#include "app/cli/settings_command.h"
#include "app/cli/trash_command.h"
#include "app/cli/types_command.h"
#include "app/cli/undo_command.h"
#include "app/cli/watch_command.h"
#include "app/cli/working_folder_command.h"

std::vector<std::unique_ptr<Command>> allCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    // Filing
    commands.push_back(std::make_unique<WorkingFolderCommand>(RunKind::File));
    commands.push_back(std::make_unique<WorkingFolderCommand>(RunKind::Unfile));
    commands.push_back(std::make_unique<FoldersCommand>());
    commands.push_back(std::make_unique<TypesCommand>());
    commands.push_back(std::make_unique<ArchiveDateCommand>());

    // Schedule
    commands.push_back(std::make_unique<ScheduleCommand>());
    commands.push_back(std::make_unique<WatchCommand>());

    // Pack
    commands.push_back(std::make_unique<PackCommand>(PackSide::Pack));
    commands.push_back(std::make_unique<PackCommand>(PackSide::Unpack));
    commands.push_back(std::make_unique<PackListCommand>(PackSide::Pack));
    commands.push_back(std::make_unique<PackListCommand>(PackSide::Unpack));

    // Names
    commands.push_back(std::make_unique<RenameCommand>());

    // Trash
    commands.push_back(std::make_unique<TrashCommand>());
    commands.push_back(std::make_unique<RemoveAppCommand>());

    // History
    commands.push_back(std::make_unique<UndoCommand>());
    commands.push_back(std::make_unique<HistoryCommand>());

    // Settings
    commands.push_back(std::make_unique<SettingsCommand>());
    return commands;
}
