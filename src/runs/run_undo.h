#pragma once

#include <QStringList>

#include "platform/prompter.h"
#include "runs/journaling_file_system.h"
#include "runs/run_history.h"

struct UndoOutcome {
    enum class Status {
        Done,     // every step was looked at; some items may have stayed (skipped)
        Refused,  // the run cannot be undone (message says why); nothing was changed
    };
    Status status = Status::Done;
    QString message;
    int movedBack = 0;
    QStringList skipped;  // one line per item left where it is: its path and why
    int undoRun = 0;      // the number of the undo's own record, 0 when it changed nothing

    // The closing message: what went back, then each item that stayed.
    QString summary(const RunRecord& record) const;
};

// Undoes a run, newest step first, as a run of its own (kind "undo", so that it can be
// undone in turn): each item goes back with the no-replace move, but only an item that is
// still where the run left it (the same device and inode) and whose old place is free;
// every other one stays and is listed. Folders the run removed are made again before
// items go back into them; folders it made are removed once empty. The record is then
// marked undone (and the run an undo undid, when this undoes an undo, marked redone).
UndoOutcome undoRun(JournalingFileSystem& files, const RunHistory& history, const RunRecord& record,
                    Prompter& prompter);

// Whether a run of this kind can be undone: copies (pack, unpack) are not.
bool isUndoable(const QByteArray& kind);
