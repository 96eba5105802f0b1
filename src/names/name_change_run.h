#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <set>

#include "names/name_change_options.h"
#include "names/name_rules.h"
#include "platform/file_system.h"
#include "platform/prompter.h"
#include "platform/run_result.h"

// One batch rename of a folder's items: a confirmation, then up to six passes in a fixed
// order (replace, prefix, suffix, remove spaces, remove digits, change case), each over a
// fresh listing of the folder. Every rename is a no-replace move; a refused or failed
// rename ends the run with an alert, and the renames made before it stay. There is no undo.
// The rules work on text: a name that is not UTF-8 has none, is left as it is, and is
// listed in the closing notice.
class NameChangeRun {
  public:
    // How a guarded rename ended; each case has already told the user.
    enum class [[nodiscard]] MoveResult{Moved = 0, Refused = 1, Taken = 2};

    // The names of one pass that are UTF-8, as text, in the order the running numbers
    // follow. The text of such a name gives back its bytes exactly.
    struct Listing {
        QStringList names;
        QSet<QString> taken;  // the same names, for the lookup of a taken name
    };

    NameChangeRun(Prompter& prompter, FileSystem& files, Path folder);

    // Called with the folder once the user has confirmed, for the recent-folders list.
    std::function<void(const Path& folder)> noteRecentFolder;

    // The whole run by options, as they stand when the user confirms. Done when every pass ran to
    // its end (the closing notice shown), Cancelled when the user declined, Failed when an alert
    // ended it.
    RunResult doChangeNames(const NameChangeOptions& options);

    // The folder's UTF-8 names without hidden ones and, with files only, without folders
    // (a link to a folder stays). Ordered as a file manager shows them: letter case
    // ignored first, then by code point. The names that are not UTF-8 are kept for the
    // closing notice.
    Listing getFiles();

    // Renames the item name to newName unless newName is empty, begins with "." or is in
    // the pass's listing (the item's own name included). Never replaces an existing item.
    MoveResult doMove(const QString& name, const QString& newName, const Listing& listing);

  private:
    enum class TakenName { GoesOn, EndsRun };
    using Rule = std::function<std::optional<QString>(const QString& name, int index)>;

    bool refuseSlashes();
    bool replacePass();
    bool affixPass(const Affix& affix, bool atFront);
    bool removeSpacesPass();
    bool removeNumbersPass();
    bool changeCasePass();
    bool renameEach(const Listing& listing, const Rule& rule, TakenName taken);
    void changeCase(const QString& name, const QString& newName, const Listing& listing);
    FileError moveThroughTemporaryName(const Path& from, const Path& to);
    Path pathOf(const QString& name) const { return folder_ / name.toUtf8(); }

    Prompter& prompter_;
    FileSystem& files_;
    Path folder_;
    NameChangeOptions options_;            // the run's rules, copied when it starts
    std::set<QByteArray> undecodedNames_;  // in byte order, each once across the passes
};
