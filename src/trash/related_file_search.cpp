#include "trash/related_file_search.h"

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
QList<QStringList> searchFolder(const QString& folder, const QStringList& patterns,
                                const QString& skippedFolder) {
    TreeSearch search;
    search.root = folder;
    search.maxDepth = searchDepthFor(folder);
    search.skippedFolder = skippedFolder;
    for (const QString& pattern : patterns)
        search.namePatterns.emplace_back(pattern, Qt::CaseInsensitive);
    const std::vector<QStringList> found = searchTree(search);

    QList<QStringList> results;
    for (size_t i = 0; i < found.size(); ++i) {
        QStringList kept;
        for (const QString& path : found[i])
            if (keepsFoundPath(path, patterns.at(static_cast<qsizetype>(i)))) kept.append(path);
        results.append(kept);
    }
    return results;
}

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

QStringList AppPatterns::searches() const {
    QStringList searches;
    if (namePattern.size() > 2 && !namePattern.endsWith(comSuffix)) searches.append(namePattern);
    // The identifier search is left out when it would only repeat the name search.
    const bool sameAsName = namePattern.size() == comparisonPattern.size() &&
                            isCaseInsensitiveLike(namePattern, comparisonPattern);
    if (!sameAsName && comparisonPattern.size() > 2) searches.append(identifierPattern);
    if (blankFreeNamePattern.size() > 2 && !blankFreeNamePattern.endsWith(comSuffix))
        searches.append(blankFreeNamePattern);
    return searches;
}

int searchDepthFor(const QString& folder) {
    return folder.endsWith(QStringLiteral("/Library")) ? 1 : 3;
}

bool keepsFoundPath(const QString& path, const QString& pattern) {
    if (isLikeAny(path,
                  {"find: *", "*.app", "*/WebServer/*", "*/Mail Downloads/*", "*/Mail/*",
                   "*.app/Contents/*", "*/iPhoto/*", "*.wdgt/*"},
                  Qt::CaseSensitive))
        return false;
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
    return searchFolder(folder, {pattern}, skippedFolder).value(0);
}

QStringList relatedFiles(const QString& appPath, const QStringList& appDirArray,
                         const QString& skippedFolder) {
    // A search that repeats an earlier one could only add repeats.
    QStringList searches = AppPatterns::forApplication(appPath).searches();
    searches.removeDuplicates();
    QStringList related;
    if (searches.isEmpty()) return related;
    QSet<QString> seen{appPath};
    for (const QString& folder : appDirArray) {
        for (const QStringList& found : searchFolder(folder, searches, skippedFolder)) {
            for (const QString& path : found) {
                if (seen.contains(path)) continue;
                seen.insert(path);
                related.append(path);
            }
        }
    }
    return related;
}
