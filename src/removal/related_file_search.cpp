#include "removal/related_file_search.h"

#include <sys/stat.h>

#include <QSet>

#include "platform/wildcard.h"
#include "removal/application_info.h"
#include "removal/shared_places.h"
#include "removal/tree_search.h"

namespace {

const QString comSuffix = QStringLiteral(".com");

bool isLikeAny(const QString& text, std::initializer_list<const char*> patterns,
               Qt::CaseSensitivity sensitivity) {
    for (const char* pattern : patterns)
        if (WildcardPattern(QString::fromLatin1(pattern), sensitivity).matches(text)) return true;
    return false;
}

// Runs the searches of one folder in one walk and applies the filters to each.
QList<QList<Path>> searchFolder(const Path& folder, const QList<NameSearch>& searches,
                                const Path& skippedFolder, const std::atomic_bool* cancel) {
    TreeSearch search;
    search.root = folder;
    search.maxDepth = searchDepthFor(folder);
    search.skippedFolder = skippedFolder;
    search.cancel = cancel;
    for (const NameSearch& s : searches) search.names.emplace_back(s.text, s.wholeName);
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

// The search of text: a whole name when it is too short to stand for anything alone.
NameSearch searchFor(const QString& text) { return {text, text.size() < 3}; }

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

bool isWordSeparator(QChar c) { return c == u'.' || c == u'-' || c == u'_' || c.isSpace(); }

// Whether a word of text starts or ends at position: at either end, next to a
// separator, or where the case changes ("eP" in "NotePad"; "LP" in "XMLParser", where
// "Parser" starts).
bool isWordBoundary(const QString& text, qsizetype position) {
    if (position <= 0 || position >= text.size()) return true;
    const QChar before = text.at(position - 1), after = text.at(position);
    if (isWordSeparator(before) || isWordSeparator(after)) return true;
    if (before.isLower() && after.isUpper()) return true;
    return before.isUpper() && after.isUpper() && position + 1 < text.size() &&
           text.at(position + 1).isLower();
}

// Whether words, a run of whole words of text, occur in it, ignoring case.
bool holdsWords(const QString& text, const QString& words) {
    if (words.isEmpty()) return false;
    for (qsizetype at = text.indexOf(words, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(words, at + 1, Qt::CaseInsensitive))
        if (isWordBoundary(text, at) && isWordBoundary(text, at + words.size())) return true;
    return false;
}

}  // namespace

AppNames AppNames::make(const QString& name, const QString& identifier) {
    return {name, identifier};
}

AppNames AppNames::forApplication(const Path& path, const std::atomic_bool* cancel) {
    return make(applicationName(path), bundleIdentifier(path, cancel));
}

QString AppNames::identifierPiece() const {
    const QStringList pieces = identifier.split(u'.');
    if (pieces.size() < 2 || pieces.last().size() == 1) return QString();
    return pieces.last();
}

QList<NameSearch> AppNames::searches() const {
    QList<NameSearch> searches;
    const QString piece = identifierPiece();
    if (!name.isEmpty() && !name.endsWith(comSuffix)) searches.append(searchFor(name));
    // The identifier search is left out when it would only repeat the name search.
    if (!piece.isEmpty() && name.compare(piece, Qt::CaseInsensitive) != 0)
        searches.append(piece.size() < 3 ? searchFor(piece) : NameSearch{u'.' + piece});
    const QString blankFree = QString(name).remove(u' ');
    if (!blankFree.isEmpty() && !blankFree.endsWith(comSuffix))
        searches.append(searchFor(blankFree));
    return searches;
}

bool AppNames::ownsName(const QByteArray& itemName, bool isFolder) const {
    QString text = QString::fromUtf8(itemName);
    // An extension is a kind of file, not a name: "R.conf" is no item of "conf".
    if (const qsizetype dot = text.lastIndexOf(u'.'); !isFolder && dot > 0) text.truncate(dot);
    const QString blankFree = QString(name).remove(u' ');
    for (const QString& words : {name, blankFree, identifier, identifierPiece()})
        if (holdsWords(text, words)) return true;
    return false;
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
    const QString& text = search.text;
    if (search.wholeName)
        return QString::fromUtf8(found.fileName()).compare(text, Qt::CaseInsensitive) == 0;
    if (text == u"Base" && path.contains(QStringLiteral("database"), Qt::CaseInsensitive))
        return false;
    if (text.contains(QStringLiteral("iCal")) &&
        isLikeAny(path, {"*vertical*", "*ically*", "*nical*"}, Qt::CaseInsensitive))
        return false;
    if ((text == u"Mail" || text == u".mail") &&
        !isLikeAny(path, {"*mail.*", "*mail_*"}, Qt::CaseInsensitive))
        return false;
    return path.contains(text, Qt::CaseInsensitive);
}

QList<Path> relatedFiles(const AppNames& app, const Path& appPath, const QList<Path>& searchFolders,
                         const Path& home, const Path& skippedFolder,
                         const std::atomic_bool* cancel) {
    // A search that repeats an earlier one could only add repeats.
    QList<NameSearch> searches;
    for (const NameSearch& search : app.searches())
        if (!searches.contains(search)) searches.append(search);
    QList<Path> related;
    if (searches.isEmpty()) return related;
    const ProtectedFolders protectedFolders(searchFolders + QList<Path>{home, skippedFolder});
    QSet<Path> seen{appPath};
    for (const Path& folder : searchFolders) {
        for (const QList<Path>& found : searchFolder(folder, searches, skippedFolder, cancel)) {
            for (const Path& path : found) {
                if (seen.contains(path)) continue;
                seen.insert(path);
                if (!protectedFolders.contains(path) && !isInSharedPlace(path, home))
                    related.append(path);
            }
        }
    }
    return related;
}
