#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/path.h"
#include "platform/path_chooser.h"

// The pack list and the unpack list are each a pair of parallel lists: row i copies entry
// i of the from-list into the folder named by entry i of the to-list. Every edit here
// changes both lists of a pair in step, so they always have the same length. Entries stay
// as chosen or typed: nothing is expanded, normalised or checked.

// The two open panels of adding a row: the source, then the destination folder.
ChooserRequest sourceChooserRequest();
ChooserRequest destinationChooserRequest();

// Asks for a source and then a destination folder, and appends them as a new row.
// Cancelling either panel, or choosing a path that is not UTF-8 (the lists are text),
// adds nothing. True when a row was added.
bool addRowByChoosing(PathChooser& chooser, QStringList& fromArray, QStringList& toArray);

// Rebuilds the unpack list from the pack list: each row sends the copy that packing makes
// back to the folder its source came from.
void deriveUnpackList(const QStringList& packFrom, const QStringList& packTo,
                      QStringList& unpackFrom, QStringList& unpackTo);

// Where a row's copy goes: the destination folder joined with the source's last component.
Path copyPathOf(const Path& source, const Path& destinationFolder);
