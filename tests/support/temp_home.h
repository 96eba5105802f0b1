#pragma once

#include <QString>
#include <QTemporaryDir>

// A temporary home folder with its own XDG folders. Each instance points HOME, USER's
// XDG_* and the runtime folder at fresh folders and puts the old values back when it
// goes, so a test never reaches the real home, settings, Trash or session bus.
class TempHome {
  public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    QString path() const { return dir_.path(); }
    QString desktop() const { return path() + QStringLiteral("/Desktop"); }
    QString configFile() const {
        return path() + QStringLiteral("/.config/Desktidy/Desktidy.conf");
    }
    // A path inside the home; parents are not created.
    QString operator/(const QString& relative) const { return path() + u'/' + relative; }

    // Points the whole process at a throw-away home, once, before any test runs.
    static void isolateProcess();

  private:
    QTemporaryDir dir_;
    QList<QPair<QByteArray, QByteArray>> saved_;
};

// Writes a file, creating its parent folders. Returns the path.
QString writeFile(const QString& path, const QByteArray& contents = QByteArray());
QByteArray readFile(const QString& path);
void makeFolder(const QString& path);
// Writes an application bundle whose Info.plist gives identifier. Returns the bundle's path.
QString writeAppBundle(const QString& path, const QByteArray& identifier,
                       const QString& listName = QStringLiteral("Info.plist"));
