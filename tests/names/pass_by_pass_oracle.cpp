#include "pass_by_pass_oracle.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <optional>

#include "names/name_change_plan.h"
#include "names/name_rules.h"

namespace {

// The rules as text, the plain way: the planner applies them to bytes, and a folder must
// come out the same either way.
struct Affix {
    bool numberFirst = false;
    bool textOn = false;
    QString text;
    bool numberLast = false;

    bool isOn() const { return numberFirst || textOn || numberLast; }
    QString at(int index) const {
        const QString number = QString::number(index);
        return (numberFirst ? number : QString()) + (textOn ? text : QString()) +
               (numberLast ? number : QString());
    }
};

template <typename Drop>
std::optional<QString> without(const QString& name, Drop drop) {
    QString kept;
    for (const QChar c : name)
        if (!drop(c)) kept += c;
    return kept.size() == name.size() ? std::nullopt : std::optional<QString>(kept);
}
std::optional<QString> withoutSpaces(const QString& name) {
    return without(name, [](QChar c) { return c == u' '; });
}
std::optional<QString> withoutDigits(const QString& name) {
    return without(name, [](QChar c) { return c >= u'0' && c <= u'9'; });
}

using namespace NameChangeTexts;
using Rule = std::function<std::optional<QString>(const QString&, int)>;

struct Oracle {
    Prompter& prompter;
    FileSystem& files;
    Path folder;
    NameChangeOptions state;

    Path at(const QString& name) const { return folder / name.toUtf8(); }
    QStringList listing() const {
        QStringList names;
        const NameList all = files.listNames(folder, false);
        for (std::size_t i = 0; i < all.size(); ++i)
            if ((state.foldersToo || !all.isDirectory(i)) && isValidUtf8(all.at(i)))
                names << QString::fromUtf8(all.at(i));
        std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
            return a.toCaseFolded() < b.toCaseFolded();
        });
        return names;
    }
    bool renameEach(const QStringList& names, const Rule& rule, bool takenEndsRun) {
        const QSet<QString> taken(names.cbegin(), names.cend());
        for (int i = 0; i < names.size(); ++i) {
            const std::optional<QString> newName = rule(names[i], i);
            if (!newName) continue;
            QString alert;
            if (newName->isEmpty())
                alert = emptyName;
            else if (newName->startsWith(u'.'))
                alert = period;
            else if (taken.contains(*newName))
                alert = takenPrefix + *newName;
            else if (FileError e = files.moveNoReplace(at(names[i]), at(*newName)); !e.ok())
                alert = e.message;
            if (alert.isEmpty()) continue;
            prompter.notice(alert);
            if (takenEndsRun || !taken.contains(*newName)) return false;
        }
        return true;
    }
    bool affixPass(const Affix& affix, bool atFront) {
        const QStringList names = listing();
        if (!names.isEmpty() && affix.textOn && affix.text.contains(u':')) {
            prompter.notice(colon);
            return false;
        }
        return renameEach(
            names,
            [&](const QString& name, int i) -> std::optional<QString> {
                return atFront ? affix.at(i) + name : name + affix.at(i);
            },
            !atFront);
    }
    void changeCase() {
        const QStringList names = listing();
        const QSet<QString> taken(names.cbegin(), names.cend());
        for (const QString& name : names) {
            const QString newName = caseChanged(name, !state.lowerCase);
            if (newName == name) continue;
            if (taken.contains(newName) || files.exists(at(newName)))
                prompter.notice(takenPrefix + newName);
            else if (FileError e = files.moveNoReplace(at(name), at(newName)); !e.ok())
                qWarning("%s", qUtf8Printable(e.message));
        }
    }
};

}  // namespace

RunResult changeNamesPassByPass(Prompter& prompter, FileSystem& files, const Path& folder,
                                const NameChangeOptions& options) {
    Oracle o{prompter, files, folder, options};
    const NameChangeOptions& s = o.state;
    const Affix prefix{s.prefixNumberCheck, s.prefixStringCheck, options.prefixTextField,
                       s.prefixNumber2Check};
    const Affix suffix{s.suffixNumberCheck, s.suffixStringCheck, options.suffixTextField,
                       s.suffixNumber2Check};
    auto fail = [&](const QString& alert) {
        prompter.notice(alert);
        return false;
    };
    auto replacePass = [&] {
        if (s.replace1TextField.isEmpty()) return fail(emptyFind);
        if (s.replace2TextField.contains(u':')) return fail(colon);
        const QString find = QString(s.replace1TextField).replace(u'/', u':');
        return o.renameEach(
            o.listing(),
            [&](const QString& name, int) {
                return replacedName(name, find, s.replace2TextField, s.ignoreCaseCheck);
            },
            false);
    };
    const bool slash = (s.replaceCheck && s.replace2TextField.contains(u'/')) ||
                       (s.prefixStringCheck && options.prefixTextField.contains(u'/')) ||
                       (s.suffixStringCheck && options.suffixTextField.contains(u'/'));
    const bool completed =
        (!slash || fail(NameChangeTexts::slash)) && (!s.replaceCheck || replacePass()) &&
        (!prefix.isOn() || o.affixPass(prefix, true)) &&
        (!suffix.isOn() || o.affixPass(suffix, false)) &&
        (!s.removeSpacesCheck ||
         o.renameEach(
             o.listing(), [](const QString& n, int) { return withoutSpaces(n); }, false)) &&
        (!s.removeNumbersCheck ||
         o.renameEach(
             o.listing(),
             [&](const QString& n, int) {
                 std::optional<QString> newName = withoutDigits(n);
                 if (newName)
                     qInfo("%s",
                           qUtf8Printable(QStringLiteral("Paths = %1, %2")
                                              .arg(o.at(n).display(), o.at(*newName).display())));
                 return newName;
             },
             false)) &&
        (!s.caseCheck || (o.changeCase(), true));
    if (!completed) return RunResult::Failed;
    // Names that are not text are listed, in byte order, as left alone.
    QString message = done;
    const NameList all = files.listNames(folder, false);
    for (std::size_t i = 0; i < all.size(); ++i)
        if ((s.foldersToo || !all.isDirectory(i)) && !isValidUtf8(all.at(i)))
            message +=
                (message == done ? "\n\n" + undecoded : QString()) + u'\n' + displayName(all.at(i));
    prompter.notice(message);
    return RunResult::Done;
}
