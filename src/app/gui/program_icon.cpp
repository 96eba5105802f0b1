#include "app/gui/program_icon.h"

#include <QDirIterator>

QIcon programIcon() {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("org.desktidy.Desktidy"));
    if (!themed.pixmap(QSize(32, 32)).isNull()) return themed;
    QIcon built;
    // One PNG a size; QIcon reads each size from its file.
    QDirIterator files(QStringLiteral(":/icon"), {QStringLiteral("*.png")}, QDir::Files);
    while (files.hasNext()) built.addFile(files.next());
    return built;
}
