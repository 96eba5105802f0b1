#pragma once

#include <QList>
#include <QString>

#include "platform/path.h"

// The folders filed lately, most recent first, for the window's Open Recent menu. Kept
// apart from the settings, one path per line in $XDG_STATE_HOME/Desktidy/recent-folders
// (~/.local/state/... by default). Paths are kept as their bytes.
class RecentFolders {
  public:
    static constexpr int maximumCount = 10;

    explicit RecentFolders(const QString& filePath) : filePath_(filePath) {}
    static QString defaultFilePath(const QString& home);

    // The list as stored; empty when there is none yet.
    QList<Path> folders() const;
    // Puts folder first, dropping an older mention of it and the oldest beyond the
    // maximum. A path that cannot be written on one line is not kept. False when the
    // list could not be written.
    bool note(const Path& folder);

  private:
    QString filePath_;
};
