#include "app/gui/window_state_store.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QWidget>

WindowStateStore::WindowStateStore(const QString& filePath)
    : file_(filePath, QSettings::IniFormat) {}

QString WindowStateStore::besideSettings(const QString& settingsFile) {
    return QFileInfo(settingsFile).absolutePath() + QStringLiteral("/windows.conf");
}

void WindowStateStore::saveGeometry(const QString& name, const QWidget* window) {
    file_.setValue(QStringLiteral("frames/") + name, window->saveGeometry());
    file_.sync();
}

bool WindowStateStore::restoreGeometry(const QString& name, QWidget* window) const {
    const QByteArray saved = file_.value(QStringLiteral("frames/") + name).toByteArray();
    return !saved.isEmpty() && window->restoreGeometry(saved);
}

void WindowStateStore::saveColumns(const QString& name, const QHeaderView* header) {
    file_.setValue(QStringLiteral("columns/") + name, header->saveState());
    file_.sync();
}

bool WindowStateStore::restoreColumns(const QString& name, QHeaderView* header) const {
    const QByteArray saved = file_.value(QStringLiteral("columns/") + name).toByteArray();
    return !saved.isEmpty() && header->restoreState(saved);
}
