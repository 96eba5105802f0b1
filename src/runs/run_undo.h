#pragma once

#include <QStringList>
#include <optional>

#include "platform/run_observer.h"
#include "platform/run_plan.h"
#include "platform/trash_location.h"
#include "runs/journaling_file_system.h"
#include "runs/run_history.h"

struct UndoOutcome {
    enum class Status {
        Done,     // every step was looked at; some items may have stayed (skipped)
        Stopped,  // a cancel stopped it after the item in hand
        Failed,   // an item it should have moved back could not be (failed says why)
        Refused,  // the run cannot be undone (message says why); nothing was changed
    };
    Status status = Status::Done;
    QString message;
    int movedBack = 0;    // the run's items moved back, counted as the run counts them
    QStringList skipped;  // one line per item left where it is: its path and why
    QStringList failed;   // one line per item that could not be moved back: its path and why
    int undoRun = 0;      // the number of the undo's own record, 0 when it changed nothing

    // The closing message: what went back, what could not and why, then each item that
    // stayed. The run's kind is named in wording's words.
    QString summary(const RunRecord& record, Wording wording = Wording::Window) const;
    // The undo as a run's report, for its result line: "Undid run 3 (Desktidy): 12 items
    // moved back." with what stayed counted, and each item that stayed as its details.
    RunReport report(const RunRecord& record, Wording wording = Wording::Window) const;
};

// Why record cannot be undone now ("Run 3 (Pack) made copies, ..."); nullopt when it can.
std::optional<QString> whyNotUndoable(const RunHistory& history, const RunRecord& record,
                                      Wording wording = Wording::Window);

// Carries out the undo of record, newest step first, inside the run that is open on files
// (the undo's own, kind "undo", so that it can be undone in turn): each item goes back with
// the no-replace move, but only an item that is still where the run left it (the same
// item, by device, inode and birth) and whose old place is free; every other one stays and
// is listed as skipped. A folder its old place lies in that is missing is made again when
// it lies inside one of the run's folders. Folders the run removed are made again before
// items go back into them; folders it made are removed once empty, and with the one it
// made in trash's files folder, that folder's Trash record. A small file the run removed
// is written again where its name is free, and one it wrote goes while it is the one the
// run wrote; of a Trash record, only with its item: one removed is written back just
// before its item goes back into the Trash (and goes again if the item cannot), one
// written goes only once its item has left the Trash. An item that cannot be moved
// back for any other reason (a full disk, the undo's record not writable) makes the undo
// Failed; the undo then stops at the first failure of its own record. A cancel stops it
// after the item in hand.
UndoOutcome undoSteps(JournalingFileSystem& files, const RunRecord& record,
                      const TrashLocation& trash, RunObserver& observer = silentObserver());

// Marks the records once the undo's run has ended as undoRunNumber (0: it left no record,
// and nothing is marked). Only an undo that is Done marks record undone, so that a run
// undone in part stays undoable and a later undo takes the rest; an undo of an undo marks
// the run that one undid as redone. Returns whether record was marked.
bool markUndone(const RunHistory& history, const RunRecord& record, const UndoOutcome& outcome,
                int undoRunNumber);
