#pragma once

#include <QString>

// The home folder's Trash as the freedesktop.org Trash specification lays it out:
// the trashed items in files/, one "<name>.trashinfo" record for each in info/.
struct TrashLocation {
    QString folder;

    QString files() const { return folder + QStringLiteral("/files"); }
    QString info() const { return folder + QStringLiteral("/info"); }
    // The record of the item called name in files/.
    QString infoFileFor(const QString& name) const {
        return info() + u'/' + name + QStringLiteral(".trashinfo");
    }

    // $XDG_DATA_HOME/Trash; home + "/.local/share/Trash" when XDG_DATA_HOME is unset,
    // empty or not absolute.
    static TrashLocation forHome(const QString& home);
};
