#include "removal/shared_places.h"

#include "platform/wildcard.h"

const QStringList sharedPlaces = {
    // Secrets, settings databases and the session's own files.
    QStringLiteral(".local/share/keyrings"),
    QStringLiteral(".config/dconf"),
    QStringLiteral(".cache/dconf"),
    QStringLiteral(".config/user-dirs.dirs"),
    QStringLiteral(".config/user-dirs.locale"),
    QStringLiteral(".config/monitors.xml"),
    QStringLiteral(".config/gnome-session"),
    QStringLiteral(".config/environment.d"),
    QStringLiteral(".local/share/recently-used.xbel"),
    QStringLiteral(".local/share/gvfs-metadata"),
    QStringLiteral(".local/share/Trash"),
    // Services and programs started with the session.
    QStringLiteral(".config/autostart"),
    QStringLiteral(".config/systemd"),
    QStringLiteral(".local/share/systemd"),
    QStringLiteral(".local/share/dbus-1"),
    // Launchers (with the file types they open), menus and the file types themselves.
    QStringLiteral(".local/share/applications"),
    QStringLiteral(".config/mimeapps.list"),
    QStringLiteral(".config/*-mimeapps.list"),
    QStringLiteral(".local/share/mime"),
    QStringLiteral(".config/menus"),
    QStringLiteral(".local/share/desktop-directories"),
    // Fonts, icons, themes and sounds every program draws from.
    QStringLiteral(".local/share/fonts"),
    QStringLiteral(".config/fontconfig"),
    QStringLiteral(".cache/fontconfig"),
    QStringLiteral(".local/share/icons"),
    QStringLiteral(".local/share/themes"),
    QStringLiteral(".local/share/sounds"),
    QStringLiteral(".cache/thumbnails"),
    QStringLiteral(".cache/mesa_shader_cache"),
    QStringLiteral(".cache/gstreamer-1.0"),
    // Settings of the toolkits, input methods and sound servers, read by all programs.
    QStringLiteral(".config/gtk-2.0"),
    QStringLiteral(".config/gtk-3.0"),
    QStringLiteral(".config/gtk-4.0"),
    QStringLiteral(".config/QtProject.conf"),
    QStringLiteral(".config/QtProject"),
    QStringLiteral(".config/Trolltech.conf"),
    QStringLiteral(".config/kdeglobals"),
    QStringLiteral(".config/ibus"),
    QStringLiteral(".cache/ibus"),
    QStringLiteral(".config/enchant"),
    QStringLiteral(".config/pulse"),
    QStringLiteral(".config/pipewire"),
    QStringLiteral(".config/wireplumber"),
    QStringLiteral(".local/state/wireplumber"),
    // Where programs installed by Flatpak live, each in a folder of its own.
    QStringLiteral(".local/share/flatpak"),
};

bool isInSharedPlace(const Path& path, const Path& home) {
    QByteArray base = home.cleaned().bytes();
    if (!base.endsWith('/')) base += '/';
    const QByteArray full = path.cleaned().bytes();
    if (!full.startsWith(base)) return false;
    const QStringList names =
        QString::fromUtf8(full.sliced(base.size())).split(u'/', Qt::SkipEmptyParts);
    for (const QString& place : sharedPlaces) {
        const QStringList placeNames = place.split(u'/');
        if (names.size() < placeNames.size()) continue;
        bool inside = true;
        for (qsizetype i = 0; i < placeNames.size() && inside; ++i)
            inside = isCaseInsensitiveLike(names[i], placeNames[i]);
        if (inside) return true;
    }
    return false;
}
