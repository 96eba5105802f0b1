#pragma once

#include "platform/path.h"

// The home folder's Trash in the freedesktop.org Trash layout:
// the trashed items in files/, one "<name>.trashinfo" record for each in info/.
struct TrashLocation {
    Path folder;

    Path files() const { return folder / "files"; }
    Path info() const { return folder / "info"; }
    // The record of the item called name in files/.
    Path infoFileFor(const QByteArray& name) const { return info() / (name + ".trashinfo"); }

    // $XDG_DATA_HOME/Trash; home + "/.local/share/Trash" when XDG_DATA_HOME is unset,
    // empty or not absolute.
    static TrashLocation forHome(const Path& home);
};
