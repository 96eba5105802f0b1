#pragma once

#include <QSettings>
#include <QString>

class QHeaderView;
class QWidget;

// Window frames and table column layouts, kept between runs under their autosave names
// ("dktWindow", "setupPanel", "packTableView", ...). They live in a file of their own
// beside the settings, so the settings file holds only the settings.
class WindowStateStore {
  public:
    explicit WindowStateStore(const QString& filePath);

    // The file beside the settings file at settingsFile.
    static QString besideSettings(const QString& settingsFile);

    void saveGeometry(const QString& name, const QWidget* window);
    // False when nothing was saved under the name; the window keeps its frame then.
    bool restoreGeometry(const QString& name, QWidget* window) const;

    // The frame of window is restored when it is first shown and kept each time it hides.
    void keepFrame(const QString& name, QWidget* window);

    // A size kept under a name (a pane's), else fallback.
    void saveSize(const QString& name, const QSize& size);
    QSize size(const QString& name, const QSize& fallback) const;

    void saveColumns(const QString& name, const QHeaderView* header);
    bool restoreColumns(const QString& name, QHeaderView* header) const;

  private:
    mutable QSettings file_;
};
