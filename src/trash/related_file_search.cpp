#include "trash/related_file_search.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSet>

#include "platform/file_system.h"
#include "platform/wildcard.h"
#include "trash/application_info.h"
#include "trash/tree_search.h"

namespace {

const QString comSuffix = QStringLiteral(".com*");

bool isLikeAny(const QString& text, std::initializer_list<const char*> patterns,
               Qt::CaseSensitivity sensitivity) {
    for (const char* pattern : patterns)
        if (WildcardPattern(QString::fromLatin1(pattern), sensitivity).matches(text)) return true;
    return false;
}

// Runs the searches of one folder in one walk and applies the filters to each.
QList<QStringList> searchFolder(const QString& folder, const QList<NameSearch>& searches,
                                const QString& skippedFolder) {
    TreeSearch search;
    search.root = folder;
    search.maxDepth = searchDepthFor(folder);
    search.skippedFolder = skippedFolder;
    // A whole name as a pattern finds at least the items of that name; the filter
    // drops the rest.
    for (const NameSearch& s : searches)
        search.namePatterns.emplace_back(s.pattern, Qt::CaseInsensitive);
    const std::vector<QStringList> found = searchTree(search);

    QList<QStringList> results;
    for (size_t i = 0; i < found.size(); ++i) {
        QStringList kept;
        for (const QString& path : found[i])
            if (keepsFoundPath(path, searches.at(static_cast<qsizetype>(i)))) kept.append(path);
        results.append(kept);
    }
    return results;
}

qsizetype literalLength(const QString& text) {
    return text.size() - text.count(u'*') - text.count(u'?');
}

// The search of pattern, which is made from piece, a name or identifier piece.
NameSearch searchFor(const QString& pattern, const QString& piece) {
    if (literalLength(piece) < 3) return {piece, true};
    return {pattern, false};
}

// The folders that relatedFiles never lists, by path and by identity, so that another
// way to the same folder (a bind mount) does not pass either.
class ProtectedFolders {
  public:
    explicit ProtectedFolders(const QStringList& roots) {
        for (const QString& root : roots) {
            for (QString folder = QDir::cleanPath(root);
                 !folder.isEmpty() && !paths_.contains(folder);
                 folder = deletingLastPathComponent(folder)) {
                paths_.insert(folder);
                struct stat st;
                if (::stat(QFile::encodeName(folder).constData(), &st) == 0)
                    identities_.insert({st.st_dev, st.st_ino});
                if (folder == u"/") break;
            }
        }
    }

    bool contains(const QString& path) const {
        if (paths_.contains(QDir::cleanPath(path))) return true;
        struct stat st;
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
               identities_.contains({st.st_dev, st.st_ino});
    }

  private:
    QSet<QString> paths_;
    QSet<QPair<quint64, quint64>> identities_;
};

}  // namespace

AppPatterns AppPatterns::make(const QString& name, const QString& bundleIdentifier) {
    AppPatterns patterns;
    QString piece;
    const QStringList pieces = bundleIdentifier.split(u'.');
    if (pieces.size() > 1) piece = pieces.last();
    if (piece.size() == 1) piece.clear();

    if (!name.isEmpty()) patterns.namePattern = u'*' + name + u'*';
    if (!piece.isEmpty()) {
        patterns.identifierPattern = QStringLiteral("*.") + piece + u'*';
        patterns.comparisonPattern = u'*' + piece + u'*';
    }
    patterns.blankFreeNamePattern = QString(patterns.namePattern).remove(u' ');
    return patterns;
}

AppPatterns AppPatterns::forApplication(const QString& path) {
    return make(applicationName(path), bundleIdentifier(path));
}

QList<NameSearch> AppPatterns::searches() const {
    QList<NameSearch> searches;
    if (namePattern.size() > 2 && !namePattern.endsWith(comSuffix))
        searches.append(searchFor(namePattern, namePattern.sliced(1).chopped(1)));
    // The identifier search is left out when it would only repeat the name search.
    const bool sameAsName = namePattern.size() == comparisonPattern.size() &&
                            isCaseInsensitiveLike(namePattern, comparisonPattern);
    if (!sameAsName && comparisonPattern.size() > 2)
        searches.append(searchFor(identifierPattern, identifierPattern.sliced(2).chopped(1)));
    if (blankFreeNamePattern.size() > 2 && !blankFreeNamePattern.endsWith(comSuffix))
        searches.append(searchFor(blankFreeNamePattern, blankFreeNamePattern.sliced(1).chopped(1)));
    return searches;
}

int searchDepthFor(const QString& folder) {
    return folder.endsWith(QStringLiteral("/Library")) ? 1 : 3;
}

bool keepsFoundPath(const QString& path, const NameSearch& search) {
    if (isLikeAny(path,
                  {"find: *", "*.app", "*/WebServer/*", "*/Mail Downloads/*", "*/Mail/*",
                   "*.app/Contents/*", "*/iPhoto/*", "*.wdgt/*"},
                  Qt::CaseSensitive))
        return false;
    if (search.wholeName)
        return lastPathComponent(path).compare(search.pattern, Qt::CaseInsensitive) == 0;
    const QString& pattern = search.pattern;
    if (pattern == u"*Base*" && isCaseInsensitiveLike(path, QStringLiteral("*database*")))
        return false;
    if (isLike(pattern, QStringLiteral("*iCal*")) &&
        isLikeAny(path, {"*vertical*", "*ically*", "*nical*"}, Qt::CaseInsensitive))
        return false;
    if ((pattern == u"*Mail*" || pattern == u"*.mail*") &&
        !isLikeAny(path, {"*mail.*", "*mail_*"}, Qt::CaseInsensitive))
        return false;
    return isCaseInsensitiveLike(path, pattern);
}

QStringList findFiles(const QString& folder, const QString& pattern, const QString& skippedFolder) {
    return searchFolder(folder, {NameSearch{pattern}}, skippedFolder).value(0);
}

QStringList relatedFiles(const QString& appPath, const QStringList& appDirArray,
                         const QString& home, const QString& skippedFolder) {
    // A search that repeats an earlier one could only add repeats.
    QList<NameSearch> searches;
    for (const NameSearch& search : AppPatterns::forApplication(appPath).searches())
        if (!searches.contains(search)) searches.append(search);
    QStringList related;
    if (searches.isEmpty()) return related;
    const ProtectedFolders protectedFolders(appDirArray + QStringList{home, skippedFolder});
    QSet<QString> seen{appPath};
    for (const QString& folder : appDirArray) {
        for (const QStringList& found : searchFolder(folder, searches, skippedFolder)) {
            for (const QString& path : found) {
                if (seen.contains(path)) continue;
                seen.insert(path);
                if (!protectedFolders.contains(path)) related.append(path);
            }
        }
    }
    return related;
}
