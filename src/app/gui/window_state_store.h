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

    void saveColumns(const QString& name, const QHeaderView* header);
    bool restoreColumns(const QString& name, QHeaderView* header) const;

  private:
    mutable QSettings file_;
};
