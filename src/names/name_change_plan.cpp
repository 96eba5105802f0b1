#include "names/name_change_plan.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>

#include "names/name_rules.h"

namespace NameChangeTexts {
const QString done = QStringLiteral("The file and/or folder names have been changed.");
const QString undecoded = QStringLiteral(
    "These names are not valid text, so no rule applied to them; they were left "
    "as they are:");
const QString emptyFind = QStringLiteral(
    "The box is checked to replace a string, but no string has been specified to be replaced.");
const QString colon = QStringLiteral("The colon character (:) is not allowed in filenames.");
const QString slash = QStringLiteral("The slash character (/) is not allowed in filenames.");
const QString period = QStringLiteral("File name cannot begin with a period (.) character.");
const QString emptyName = QStringLiteral("File name cannot be empty.");
const QString takenPrefix = QStringLiteral("There is already a file in this folder with the name ");
}  // namespace NameChangeTexts

namespace {

using namespace NameChangeTexts;

struct Item {
    QString original;
    QString current;
    QString beforeCase;  // set when the case pass renamed it
    bool isDirectory = false;
    int listedIn = -1;   // the last pass that listed it
    int renamedIn = -1;  // the last pass that renamed it
};

enum class TakenName { GoesOn, EndsRun };
using Rule = std::function<std::optional<QString>(const QString& name, int index)>;

// The folder as the passes leave it: every visible UTF-8 name and its item. Hidden names
// cannot be new names (a leading "." is refused) and names that are not UTF-8 cannot
// equal one, so only these can make a new name taken.
class Simulation {
  public:
    Simulation(const NameList& names, const Path& folder, const NameChangeOptions& options,
               NameChangePlan& result)
        : folder_(folder),
          prefix_(folder.bytes().endsWith('/') ? folder.bytes() : folder.bytes() + '/'),
          foldersToo_(options.foldersToo),
          result_(result) {
        items_.reserve(names.size());
        byName_.reserve(qsizetype(names.size()));
        for (std::size_t i = 0; i < names.size(); ++i) {
            const QByteArrayView bytes = names.at(i);
            if (bytes.startsWith('.')) {
                hidden_.insert(bytes.toByteArray());
                continue;
            }
            if (!isValidUtf8(bytes)) {
                // No rule applies to it; the closing notice lists it.
                if (foldersToo_ || !names.isDirectory(i))
                    result_.undecoded.push_back(bytes.toByteArray());
                continue;
            }
            const QString name = QString::fromUtf8(bytes);
            byName_.insert(name, static_cast<int>(items_.size()));
            items_.push_back({name, name, QString(), names.isDirectory(i)});
        }
    }

    // Starts a pass: its items, by case-folded name, then by bytes as the folder lists them.
    std::vector<int> listing() {
        ++pass_;
        struct Key {
            QString folded;
            int item;
        };
        std::vector<Key> keys;
        keys.reserve(items_.size());
        for (int i = 0; i < int(items_.size()); ++i) {
            if (!foldersToo_ && items_[i].isDirectory) continue;
            items_[i].listedIn = pass_;
            keys.push_back({items_[i].current.toCaseFolded(), i});
        }
        const auto before = [&](const Key& a, const Key& b) {
            if (const int c = a.folded.compare(b.folded)) return c < 0;
            return items_[a.item].current.toUtf8() < items_[b.item].current.toUtf8();
        };
        // Often a pass leaves the order as it was: then there is nothing to sort.
        if (!std::is_sorted(keys.begin(), keys.end(), before))
            std::sort(keys.begin(), keys.end(), before);
        std::vector<int> order;
        order.reserve(keys.size());
        for (const Key& key : keys) order.push_back(key.item);
        return order;
    }

    bool renameEach(const std::vector<int>& listed, const Rule& rule, TakenName taken) {
        for (std::size_t i = 0; i < listed.size(); ++i) {
            const QString name = items_[listed[i]].current;
            const std::optional<QString> newName = rule(name, static_cast<int>(i));
            if (!newName) continue;
            if (newName->isEmpty()) return stop(emptyName, name);
            if (newName->startsWith(u'.')) return stop(period, name);
            if (const auto found = byName_.constFind(*newName); found != byName_.cend()) {
                // The names of this pass's listing are taken; a name given earlier in this
                // pass, or one not listed, makes the move itself fail.
                const Item& other = items_[*found];
                const bool givenNow = other.renamedIn == pass_ && other.current == *newName;
                if (givenNow || other.listedIn != pass_)
                    return stop(
                        FileError::fromErrno(EEXIST, pathOf(name), QStringLiteral("move")).message,
                        name);
                if (taken == TakenName::EndsRun) return stop(takenPrefix + *newName, name);
                refuse(name, *newName);
                continue;
            }
            giveName(listed[i], *newName);
        }
        endPass();
        return true;
    }

    // Neither a taken name nor a failure ends this pass. A name of the listing, or of any
    // item now, is taken.
    void changeCase(bool upper) {
        for (const int item : listing()) {
            const QString name = items_[item].current;
            const QString newName = caseChanged(name, upper);
            if (newName == name) continue;
            if (byName_.contains(newName)) {
                refuse(name, newName);
                continue;
            }
            items_[item].beforeCase = name;
            giveName(item, newName);
        }
        endPass();
    }

    bool stop(const QString& alert, const QString& name = QString()) {
        result_.plan.stopAlert = alert;
        if (!name.isNull()) result_.plan.stopItem = pathOf(name);
        return false;
    }
    void log(const QString& line) { result_.logLines << line; }
    Path pathOf(const QString& name) const {
        QByteArray path = prefix_;
        path += name.toUtf8();
        return Path(std::move(path));
    }

    // The net moves, in an order in which each finds its new name free.
    void addNetMoves() {
        QHash<QString, int> movingFrom;  // original name -> item, for the items that move
        movingFrom.reserve(qsizetype(items_.size()));
        for (int i = 0; i < int(items_.size()); ++i)
            if (items_[i].current != items_[i].original) movingFrom.insert(items_[i].original, i);
        result_.plan.steps.reserve(result_.plan.steps.size() + movingFrom.size());
        result_.beforeCase.reserve(result_.plan.steps.capacity());
        std::vector<int> state(items_.size(), 0);  // 0 not placed, 1 on the chain, 2 placed
        auto blocker = [&](int item) { return movingFrom.value(items_[item].current, -1); };
        for (int start = 0; start < int(items_.size()); ++start) {
            if (state[start] != 0 || !movingFrom.contains(items_[start].original)) continue;
            // Follow the chain of items whose new name another item still holds.
            std::vector<int> chain;
            int next = start;
            while (next >= 0 && state[next] == 0) {
                state[next] = 1;
                chain.push_back(next);
                next = blocker(next);
            }
            if (next >= 0 && state[next] == 1) {
                // A cycle: its first item steps aside to a temporary name first.
                const Path temporary = temporaryPath();
                addMove(pathOf(items_[next].original), temporary, QString());
                for (auto it = chain.rbegin(); *it != next; ++it) addMove(*it);
                addMove(temporary, pathOf(items_[next].current), items_[next].beforeCase);
                for (auto it = std::find(chain.rbegin(), chain.rend(), next) + 1;
                     it != chain.rend(); ++it)
                    addMove(*it);
            } else {
                for (auto it = chain.rbegin(); it != chain.rend(); ++it) addMove(*it);
            }
            for (const int item : chain) state[item] = 2;
        }
    }

  private:
    // The old name stays found until the pass ends, as the pass's listing holds it.
    void giveName(int item, const QString& newName) {
        vacated_.push_back(items_[item].current);
        byName_.insert(newName, item);
        items_[item].current = newName;
        items_[item].renamedIn = pass_;
    }
    void endPass() {
        for (const QString& name : vacated_) byName_.remove(name);
        vacated_.clear();
    }
    void refuse(const QString& name, const QString& newName) {
        result_.plan.notices << takenPrefix + newName;
        result_.plan.steps.push_back({pathOf(name), pathOf(newName), Refusal::NameTaken, {}});
        result_.beforeCase.emplace_back();
    }
    void addMove(int item) {
        addMove(pathOf(items_[item].original), pathOf(items_[item].current),
                items_[item].beforeCase);
    }
    void addMove(const Path& from, const Path& to, const QString& beforeCase) {
        result_.plan.steps.push_back({from, to, Refusal::None, {}});
        result_.beforeCase.push_back(beforeCase.isNull() ? Path() : pathOf(beforeCase));
    }
    Path temporaryPath() {
        for (int n = 0;; ++n) {
            const QByteArray name = ".desktidy-rename-" + QByteArray::number(n);
            if (!hidden_.contains(name)) {
                hidden_.insert(name);
                return folder_ / name;
            }
        }
    }

    Path folder_;
    QByteArray prefix_;  // the folder's path and a "/"
    bool foldersToo_;
    NameChangePlan& result_;
    std::vector<Item> items_;
    QHash<QString, int> byName_;
    std::vector<QString> vacated_;
    int pass_ = 0;
    QSet<QByteArray> hidden_;
};

}  // namespace

NameChangePlan planNameChange(FileSystem& files, const Path& folder,
                              const NameChangeOptions& options) {
    NameChangePlan result;
    result.plan.kind = RunPlan::Kind::Rename;
    // A "/" in a new name would move the item into another folder, "../x" out of this
    // one: refused before anything is renamed.
    if ((options.replaceCheck && options.replace2TextField.contains(u'/')) ||
        (options.prefixStringCheck && options.prefixTextField.contains(u'/')) ||
        (options.suffixStringCheck && options.suffixTextField.contains(u'/'))) {
        result.plan.stopAlert = slash;
        return result;
    }

    Simulation sim(files.listNames(folder, true), folder, options, result);
    // The texts are read from the controls, as the window shows them.
    const Affix prefix{options.prefixNumberCheck, options.prefixStringCheck,
                       options.prefixTextField, options.prefixNumber2Check};
    const Affix suffix{options.suffixNumberCheck, options.suffixStringCheck,
                       options.suffixTextField, options.suffixNumber2Check};

    auto replacePass = [&] {
        if (options.replace1TextField.isEmpty()) return sim.stop(emptyFind);
        // A "/" typed in the text to find stands for the ":" that names from a Mac volume
        // keep in its place.
        const QString find = QString(options.replace1TextField).replace(u'/', u':');
        if (options.replace2TextField.contains(u':')) return sim.stop(colon);
        const bool ignoreCase = options.ignoreCaseCheck;
        return sim.renameEach(
            sim.listing(),
            [&](const QString& name, int) {
                return replacedName(name, find, options.replace2TextField, ignoreCase);
            },
            TakenName::GoesOn);
    };
    // A taken name lets the prefix pass go on with the next item but ends the suffix pass.
    auto affixPass = [&](const Affix& affix, bool atFront) {
        const std::vector<int> listed = sim.listing();
        if (!listed.empty() && affix.textOn && affix.text.contains(u':')) return sim.stop(colon);
        return sim.renameEach(
            listed,
            [&](const QString& name, int index) -> std::optional<QString> {
                return atFront ? affix.at(index) + name : name + affix.at(index);
            },
            atFront ? TakenName::GoesOn : TakenName::EndsRun);
    };
    auto removeSpacesPass = [&] {
        return sim.renameEach(
            sim.listing(), [](const QString& name, int) { return withoutSpaces(name); },
            TakenName::GoesOn);
    };
    auto removeNumbersPass = [&] {
        return sim.renameEach(
            sim.listing(),
            [&](const QString& name, int) {
                std::optional<QString> newName = withoutDigits(name);
                if (newName)
                    sim.log(QStringLiteral("Paths = %1, %2")
                                .arg(sim.pathOf(name).display(), sim.pathOf(*newName).display()));
                return newName;
            },
            TakenName::GoesOn);
    };

    (void)((!options.replaceCheck || replacePass()) &&
           (!prefix.isOn() || affixPass(prefix, true)) &&
           (!suffix.isOn() || affixPass(suffix, false)) &&
           (!options.removeSpacesCheck || removeSpacesPass()) &&
           (!options.removeNumbersCheck || removeNumbersPass()) &&
           (!options.caseCheck || (sim.changeCase(!options.lowerCase), true)));
    sim.addNetMoves();
    return result;
}
