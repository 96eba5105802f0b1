#pragma once

#include <QStringList>
#include <vector>

#include "names/name_change_options.h"
#include "platform/file_system.h"
#include "platform/run_plan.h"

// The texts of a name change's alerts.
namespace NameChangeTexts {
extern const QString done;
extern const QString undecoded;  // followed by the names, a line each
extern const QString emptyFind;
extern const QString colon;
extern const QString slash;
extern const QString period;
extern const QString emptyName;
extern const QString takenPrefix;  // followed by the name
}  // namespace NameChangeTexts

// A name change worked out in memory. The rules apply in up to six passes in a fixed order
// (replace, prefix, suffix, remove spaces, remove digits, change case), each over the
// folder's listing as the passes before it left it: every rename, taken name, alert and
// running number is that of renaming on disk pass by pass. Only the net moves are made:
// one per item that ends with another name, ordered so that no move meets a name a later
// move frees, through a temporary hidden name where the moves form a cycle.
struct NameChangePlan {
    // Kind Rename. The steps are the net moves in order; a refused step is an item whose
    // new name was taken, from its name then to the name it was refused.
    RunPlan plan;
    // For each step, the name the item had before the case pass changed it (empty when it
    // did not): where the item goes instead when the file system refuses the new case,
    // which the case pass only logs. Empty when there is no case pass.
    std::vector<Path> beforeCase;
    // The lines the digits pass logs, "Paths = FROM, TO".
    QStringList logLines;
    // The names of items the rules would apply to that are not UTF-8, in byte order: no
    // rule applies to them, and the closing notice lists them.
    std::vector<QByteArray> undecoded;
    bool completed() const { return !plan.stopAlert.has_value(); }
};

// Whether name is one of the hidden names a plan sets an item of a cycle aside under
// (".desktidy-rename-N"), which no item keeps.
inline bool isCycleName(QByteArrayView name) { return name.startsWith(".desktidy-rename-"); }

// Plans a name change of folder by options. Reads the folder once; changes nothing.
NameChangePlan planNameChange(FileSystem& files, const Path& folder,
                              const NameChangeOptions& options);
