#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/path.h"

// What an open panel asks for: its texts, what may be chosen and where it starts.
struct ChooserRequest {
    QString title;
    QString message;
    QString confirmButton;  // e.g. "Choose", "Add", "Delete"
    bool chooseFiles = true;
    bool chooseFolders = false;
    bool multiple = false;
    bool showHidden = false;
    Path startFolder;

    // A panel that offers folders only.
    static ChooserRequest forFolders(QString title, QString confirmButton, bool multiple) {
        ChooserRequest request;
        request.title = std::move(title);
        request.confirmButton = std::move(confirmButton);
        request.chooseFiles = false;
        request.chooseFolders = true;
        request.multiple = multiple;
        return request;
    }
    // Added for the application chooser: when not empty, only items whose names match
    // one of these wildcards ("*.app", "*.AppImage") can be chosen, and they are chosen
    // as files even when they are folders (application bundles).
    QStringList nameFilters;
};

// Every open panel goes through this: QFileDialog in the window, arguments on the command
// line, a scripted fake in tests. nullopt means the panel was cancelled.
class PathChooser {
  public:
    virtual ~PathChooser() = default;
    virtual std::optional<QList<Path>> choose(const ChooserRequest& request) = 0;
};
