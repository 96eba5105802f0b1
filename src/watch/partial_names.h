#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Names of items that are not finished yet: downloads in progress, copies under a
// temporary name, and the lock files editors keep beside a document. The watch never files
// such an item; its finished name is what arrives in the end. The one list:
//
//   ends in .part .crdownload .opdownload .download .partial .filepart .tmp .temp
//           .aria2 .!qB .!ut .!bt   (browsers, download managers, torrent clients; any case)
//   starts with ~$                  (a Microsoft Office document's owner file)
//   .~lock.NAME#  and  #NAME#       (LibreOffice's lock, Emacs's auto-save)
//
// Hidden names (a leading ".") are never filed anyway.
bool isPartialName(QByteArrayView name);

// For a partial name made by adding one of the suffixes above to the finished name
// ("a.pdf.part", "b.zip.crdownload"), that finished name; else empty.
QByteArray finishedNameOf(QByteArrayView partial);

// Those suffixes, with their dot.
const QList<QByteArray>& partialSuffixes();
