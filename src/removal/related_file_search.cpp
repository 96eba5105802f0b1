#include "removal/related_file_search.h"

#include <sys/stat.h>

#include <QSet>

#include "platform/wildcard.h"
#include "removal/application_info.h"
#include "removal/tree_search.h"

namespace {

const QString comSuffix = QStringLiteral(".com*");

bool isLikeAny(const QString& text, std::initializer_list<const char*> patterns,
               Qt::CaseSensitivity sensitivity) {
    for (const char* pattern : patterns)
        if (WildcardPattern(QString::fromLatin1(pattern), sensitivity).matches(text)) return true;
    return false;
}

// Runs the searches of one folder in one walk and applies the filters to each.
QList<QList<Path>> searchFolder(const Path& folder, const QList<NameSearch>& searches,
                                const Path& skippedFolder) {
    TreeSearch search;
    search.root = folder;
    search.maxDepth = searchDepthFor(folder);
    search.skippedFolder = skippedFolder;
    // A whole name as a pattern finds at least the items of that name; the filter
    // drops the rest.
    for (const NameSearch& s : searches)
        search.namePatterns.emplace_back(s.pattern, Qt::CaseInsensitive);
    const std::vector<QList<Path>> found = searchTree(search);

    QList<QList<Path>> results;
    for (size_t i = 0; i < found.size(); ++i) {
        QList<Path> kept;
        for (const Path& path : found[i])
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
    explicit ProtectedFolders(const QList<Path>& roots) {
        for (const Path& root : roots) {
            for (Path folder = root.cleaned(); !folder.isEmpty() && !paths_.contains(folder);
                 folder = folder.parent()) {
                paths_.insert(folder);
                struct stat st;
                if (::stat(folder.c_str(), &st) == 0) identities_.insert({st.st_dev, st.st_ino});
                if (folder.bytes() == "/") break;
            }
        }
    }

    bool contains(const Path& path) const {
        if (paths_.contains(path.cleaned())) return true;
        struct stat st;
        return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
               identities_.contains({st.st_dev, st.st_ino});
    }

  private:
    QSet<Path> paths_;
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

AppPatterns AppPatterns::forApplication(const Path& path) {
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

int searchDepthFor(const Path& folder) { return folder.bytes().endsWith("/Library") ? 1 : 3; }

bool keepsFoundPath(const Path& found, const NameSearch& search) {
    // Matched as text, with bytes that are not UTF-8 read as U+FFFD; the path itself stays
    // as it was found.
    const QString path = QString::fromUtf8(found.bytes());
    if (isLikeAny(path,
                  {"find: *", "*.app", "*/WebServer/*", "*/Mail Downloads/*", "*/Mail/*",
                   "*.app/Contents/*", "*/iPhoto/*", "*.wdgt/*"},
                  Qt::CaseSensitive))
        return false;
    if (search.wholeName)
        return QString::fromUtf8(found.fileName()).compare(search.pattern, Qt::CaseInsensitive) ==
               0;
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

QList<Path> findFiles(const Path& folder, const QString& pattern, const Path& skippedFolder) {
    return searchFolder(folder, {NameSearch{pattern}}, skippedFolder).value(0);
}

QList<Path> relatedFiles(const Path& appPath, const QList<Path>& searchFolders, const Path& home,
                         const Path& skippedFolder) {
    // A search that repeats an earlier one could only add repeats.
    QList<NameSearch> searches;
    for (const NameSearch& search : AppPatterns::forApplication(appPath).searches())
        if (!searches.contains(search)) searches.append(search);
    QList<Path> related;
    if (searches.isEmpty()) return related;
    const ProtectedFolders protectedFolders(searchFolders + QList<Path>{home, skippedFolder});
    QSet<Path> seen{appPath};
    for (const Path& folder : searchFolders) {
        for (const QList<Path>& found : searchFolder(folder, searches, skippedFolder)) {
            for (const Path& path : found) {
                if (seen.contains(path)) continue;
                seen.insert(path);
                if (!protectedFolders.contains(path)) related.append(path);
            }
        }
    }
    return related;
}
