#pragma once

#include <QStringList>
#include <optional>

#include "platform/run_observer.h"
#include "platform/run_plan.h"
#include "platform/trash_location.h"
#include "runs/journaling_file_system.h"
#include "runs/run_history.h"

// What an undo did with the steps of the run it undid.
struct UndoOutcome {
    int movedBack = 0;
    // Items left where they are, as undo means to: moved since the run, or their old place
    // taken. One line each: the path and why.
    QStringList skipped;
    // Items that should have gone back and did not (a full disk, no permission): the path
    // and the reason. An undo with any is failed, and the run stays undoable.
    QStringList failed;
    bool stopped = false;  // Cancel or a signal stopped it between items

    // The undo as a run's report: "Undid run 3 (Desktidy): 12 items moved back." with the
    // items that stayed, and why, as its details; the kind is named in wording's words.
    RunReport report(const RunRecord& record, Wording wording = Wording::Window) const;
};

// Why a run cannot be undone now ("Run 3 (Pack) made copies, which cannot be undone."), or
// nullopt when it can.
std::optional<QString> whyNotUndoable(const RunHistory& history, const RunRecord& record,
                                      Wording wording = Wording::Window);

// Undoes a run's steps, newest first, inside the undo's own open run (so that it can be
// undone in turn): each item goes back with the no-replace move, but only an item that is
// still where the run left it (the same device and inode) and whose old place is free;
// every other one stays and is listed. Folders the run removed are made again before items
// go back into them; folders it made are removed once empty. trash is the Trash the
// application removal moves into: the record of a folder it made there goes with it.
UndoOutcome undoSteps(JournalingFileSystem& files, const RunRecord& record,
                      const TrashLocation& trash, RunObserver& observer);

// Marks the record of an undone run (and of the run an undone undo had undone) once the
// undo, run undoRun, has ended: only when the undo's own record was written and it moved
// back everything it could.
void markUndone(const RunHistory& history, const RunRecord& record, const UndoOutcome& outcome,
                int undoRun);
