#include "names/name_change_plan.h"

#include <QHashFunctions>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
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

std::size_t hashOf(QStringView name) { return qHash(name, QHashSeed::globalSeed()); }
std::size_t hashOf(QByteArrayView name) { return qHash(name, QHashSeed::globalSeed()); }

// Items by name: open addressing with linear probing over slots that hold a name's hash
// and an item. Nothing is taken out: the caller's holds(item) says whether the item still
// has the name looked for, so the slot a rename leaves behind simply stops matching. Every
// slot of a hash lies between the hash's home slot and the next empty one, so a lookup
// sees them all. Kept small and reused, since fresh memory costs more than the probing.
class NameTable {
  public:
    // Empties the table, with room for at least names entries.
    void reset(std::size_t names) {
        std::size_t capacity = 16;
        while (capacity * 4 / 5 < names) capacity *= 2;
        if (capacity <= slots_.size())
            std::fill(slots_.begin(), slots_.end(), Slot{});
        else
            slots_.assign(capacity, Slot{});
        used_ = 0;
    }
    bool hasRoomFor(std::size_t names) const { return used_ + names <= slots_.size() * 4 / 5; }
    void insert(std::size_t hash, int item) {
        std::size_t i = hash & mask();
        while (slots_[i].item != 0) i = (i + 1) & mask();
        slots_[i] = {tagOf(hash), std::uint32_t(item) + 1};
        ++used_;
    }
    // The first item of a slot of hash that holds the name, or -1.
    template <typename Holds>
    int find(std::size_t hash, Holds holds) const {
        const std::uint32_t tag = tagOf(hash);
        for (std::size_t i = hash & mask(); slots_[i].item != 0; i = (i + 1) & mask())
            if (slots_[i].tag == tag && holds(int(slots_[i].item - 1)))
                return int(slots_[i].item - 1);
        return -1;
    }

  private:
    struct Slot {
        std::uint32_t tag = 0;   // the hash's high bits: nearly every other name fails here
        std::uint32_t item = 0;  // the item + 1; 0 for an empty slot
    };
    static std::uint32_t tagOf(std::size_t hash) {
        return std::uint32_t(hash >> (sizeof(std::size_t) * 4));
    }
    std::size_t mask() const { return slots_.size() - 1; }
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

// An item of the folder as the passes leave it. Small: a run may plan 100,000 of them.
struct Item {
    QString current;
    QString previous;  // the name the current pass took from it (renamedIn is that pass)
    std::size_t currentHash = 0;
    std::uint32_t listIndex = 0;  // where the listing holds its original name
    std::uint8_t renamedIn = 0;   // the last pass that renamed it, 0 for none
    bool listed = false;          // every pass lists it: a file, or any item with folders too
};

enum class TakenName { GoesOn, EndsRun };

// The first four UTF-16 units, for comparing most names without reading them.
std::uint64_t headOf(QStringView name) {
    std::uint64_t head = 0;
    for (qsizetype i = 0; i < 4; ++i) head = head << 16 | (i < name.size() ? name[i].unicode() : 0);
    return head;
}

// The UTF-8 bytes of name after prefix, in one allocation when name is ASCII.
QByteArray joined(const QByteArray& prefix, const QString& name) {
    const qsizetype length = name.size();
    QByteArray bytes(prefix.size() + length, Qt::Uninitialized);
    std::memcpy(bytes.data(), prefix.constData(), std::size_t(prefix.size()));
    char* out = bytes.data() + prefix.size();
    const QChar* in = name.constData();
    for (qsizetype i = 0; i < length; ++i) {
        if (in[i].unicode() >= 0x80) {
            bytes.truncate(prefix.size());
            return bytes + name.toUtf8();
        }
        out[i] = char(in[i].unicode());
    }
    return bytes;
}

// The folder as the passes leave it: every visible UTF-8 name and its item. Hidden names
// cannot be new names (a leading "." is refused) and names that are not UTF-8 cannot
// equal one, so only these can make a new name taken.
class Simulation {
  public:
    Simulation(NameList names, const Path& folder, const NameChangeOptions& options,
               NameChangePlan& result)
        : names_(std::move(names)),
          folder_(folder),
          prefix_(folder.bytes().endsWith('/') ? folder.bytes() : folder.bytes() + '/'),
          result_(result) {
        items_.reserve(names_.size());
        for (std::size_t i = 0; i < names_.size(); ++i) {
            const QByteArrayView bytes = names_.at(i);
            if (bytes.startsWith('.')) {
                hidden_.insert(bytes.toByteArray());
                continue;
            }
            if (!isValidUtf8(bytes)) {
                // No rule applies to it; the closing notice lists it.
                if (options.foldersToo || !names_.isDirectory(i))
                    result_.undecoded.push_back(bytes.toByteArray());
                continue;
            }
            Item item;
            item.current = QString::fromUtf8(bytes);
            item.currentHash = hashOf(item.current);
            item.listIndex = std::uint32_t(i);
            item.listed = options.foldersToo || !names_.isDirectory(i);
            items_.push_back(std::move(item));
        }
        rebuildNames();
    }

    // Starts a pass: its items, by case-folded name, then by bytes as the folder lists them.
    const std::vector<int>& listing() {
        ++pass_;
        // Up to one new name per item this pass; the old ones count no more.
        if (!byName_.hasRoomFor(items_.size())) rebuildNames();
        keys_.clear();
        folded_.clear();
        for (int i = 0; i < int(items_.size()); ++i) {
            Item& item = items_[i];
            item.previous = QString();
            if (!item.listed) continue;
            QString folded = item.current.toCaseFolded();
            const QStringView key = folded;  // the characters stay where they are
            if (folded.constData() != item.current.constData())
                folded_.push_back(std::move(folded));
            keys_.push_back({headOf(key), key.data(), int(key.size()), i});
        }
        const auto before = [&](const Key& a, const Key& b) {
            if (a.head != b.head) return a.head < b.head;
            if (const int c = QStringView(a.folded, a.size).compare(QStringView(b.folded, b.size)))
                return c < 0;
            return items_[a.item].current.toUtf8() < items_[b.item].current.toUtf8();
        };
        // Often a pass leaves the order as it was: then there is nothing to sort.
        if (!std::is_sorted(keys_.begin(), keys_.end(), before))
            std::sort(keys_.begin(), keys_.end(), before);
        order_.clear();
        for (const Key& key : keys_) order_.push_back(key.item);
        return order_;
    }

    // rule(name, index) gives an item's new name, or nullopt to leave it.
    template <typename Rule>
    bool renameEach(const std::vector<int>& listed, const Rule& rule, TakenName taken) {
        for (std::size_t i = 0; i < listed.size(); ++i) {
            const QString& name = items_[listed[i]].current;
            std::optional<QString> newName = rule(name, static_cast<int>(i));
            if (!newName) continue;
            if (newName->isEmpty()) return stop(emptyName, name);
            if (newName->startsWith(u'.')) return stop(period, name);
            const std::size_t hash = hashOf(*newName);
            if (const int found = holderOf(*newName, hash); found >= 0) {
                // The names of this pass's listing are taken; a name given earlier in this
                // pass, or one not listed, makes the move itself fail.
                const Item& other = items_[found];
                const bool givenNow = other.renamedIn == pass_ && other.current == *newName;
                if (givenNow || !other.listed)
                    return stop(
                        FileError::fromErrno(EEXIST, pathOf(name), QStringLiteral("move")).message,
                        name);
                if (taken == TakenName::EndsRun) return stop(takenPrefix + *newName, name);
                refuse(name, *newName);
                continue;
            }
            giveName(listed[i], std::move(*newName), hash);
        }
        return true;
    }

    // Neither a taken name nor a failure ends this pass. A name of the listing, or of any
    // item now, is taken.
    void changeCase(bool upper) {
        beforeCase_.resize(items_.size());
        for (const int item : listing()) {
            const QString& name = items_[item].current;
            QString newName = caseChanged(name, upper);
            if (newName == name) continue;
            const std::size_t hash = hashOf(newName);
            if (holderOf(newName, hash) >= 0) {
                refuse(name, newName);
                continue;
            }
            beforeCase_[item] = name;
            giveName(item, std::move(newName), hash);
        }
    }

    bool stop(const QString& alert, const QString& name = QString()) {
        result_.plan.stopAlert = alert;
        if (!name.isNull()) result_.plan.stopItem = pathOf(name);
        return false;
    }
    void log(const QString& line) { result_.logLines << line; }
    Path pathOf(const QString& name) const { return Path(joined(prefix_, name)); }

    // The net moves, in an order in which each finds its new name free.
    void addNetMoves() {
        // The items that end with another name, and the paths they go to.
        std::vector<int> moving;
        std::vector<Path> targets;
        for (int i = 0; i < int(items_.size()); ++i) {
            const Item& item = items_[i];
            if (item.renamedIn == 0) continue;
            Path to = pathOf(item.current);
            const QByteArrayView original = names_.at(item.listIndex);
            if (newNameOf(to) == original && item.current == QString::fromUtf8(original))
                continue;  // renamed back
            moving.push_back(i);
            targets.push_back(std::move(to));
        }
        byName_.reset(moving.size());  // now by original name, to a place in moving
        for (std::size_t k = 0; k < moving.size(); ++k)
            byName_.insert(hashOf(names_.at(items_[moving[k]].listIndex)), int(k));
        // The moving item whose original name moving[k] is to take.
        auto blocker = [&](int k) {
            const QByteArrayView name = newNameOf(targets[k]);
            return byName_.find(hashOf(name), [&](int other) {
                const Item& item = items_[moving[other]];
                return names_.at(item.listIndex) == name &&
                       QString::fromUtf8(name) == items_[moving[k]].current;
            });
        };
        result_.plan.steps.reserve(result_.plan.steps.size() + moving.size());
        if (!beforeCase_.empty()) {
            result_.beforeCase.resize(result_.plan.steps.size());
            result_.beforeCase.reserve(result_.plan.steps.capacity());
        }
        auto addMoveOf = [&](int k) {
            addMove(originalPathOf(moving[k]), std::move(targets[k]), moving[k]);
        };
        std::vector<char> state(moving.size(), 0);  // 0 not placed, 1 on the chain, 2 placed
        std::vector<int> chain;
        for (int start = 0; start < int(moving.size()); ++start) {
            if (state[start] != 0) continue;
            // Follow the chain of items whose new name another item still holds.
            chain.clear();
            int next = start;
            while (next >= 0 && state[next] == 0) {
                state[next] = 1;
                chain.push_back(next);
                next = blocker(next);
            }
            if (next >= 0 && state[next] == 1) {
                // A cycle: its first item steps aside to a temporary name first.
                const Path temporary = temporaryPath();
                addMove(originalPathOf(moving[next]), temporary, -1);
                for (auto it = chain.rbegin(); *it != next; ++it) addMoveOf(*it);
                addMove(temporary, std::move(targets[next]), moving[next]);
                for (auto it = std::find(chain.rbegin(), chain.rend(), next) + 1;
                     it != chain.rend(); ++it)
                    addMoveOf(*it);
            } else {
                for (auto it = chain.rbegin(); it != chain.rend(); ++it) addMoveOf(*it);
            }
            for (const int k : chain) state[k] = 2;
        }
    }

  private:
    // The item that has name now, or had it when the current pass began: the listing holds
    // a name until its pass ends. -1 when none has.
    int holderOf(const QString& name, std::size_t hash) const {
        return byName_.find(hash, [&](int item) {
            const Item& it = items_[item];
            return it.current == name || (it.renamedIn == pass_ && it.previous == name);
        });
    }
    void giveName(int item, QString newName, std::size_t hash) {
        Item& it = items_[item];
        it.previous = std::move(it.current);
        it.current = std::move(newName);
        it.currentHash = hash;
        it.renamedIn = std::uint8_t(pass_);
        byName_.insert(hash, item);
    }
    // The names items have now, with room for a new name for each.
    void rebuildNames() {
        byName_.reset(2 * items_.size());
        for (int i = 0; i < int(items_.size()); ++i) byName_.insert(items_[i].currentHash, i);
    }
    void refuse(const QString& name, const QString& newName) {
        result_.plan.notices << takenPrefix + newName;
        result_.plan.steps.push_back({pathOf(name), pathOf(newName), Refusal::NameTaken, {}});
    }
    QByteArrayView newNameOf(const Path& path) const {
        return QByteArrayView(path.bytes()).sliced(prefix_.size());
    }
    Path originalPathOf(int item) const {
        const QByteArrayView name = names_.at(items_[item].listIndex);
        QByteArray path(prefix_.size() + name.size(), Qt::Uninitialized);
        std::memcpy(path.data(), prefix_.constData(), std::size_t(prefix_.size()));
        std::memcpy(path.data() + prefix_.size(), name.data(), std::size_t(name.size()));
        return Path(std::move(path));
    }
    // beforeCaseOf: the item whose name before the case pass goes with the step, or -1.
    void addMove(Path from, Path to, int beforeCaseOf) {
        result_.plan.steps.push_back({std::move(from), std::move(to), Refusal::None, {}});
        if (beforeCase_.empty()) return;
        const bool changedCase = beforeCaseOf >= 0 && !beforeCase_[beforeCaseOf].isNull();
        result_.beforeCase.push_back(changedCase ? pathOf(beforeCase_[beforeCaseOf]) : Path());
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

    struct Key {
        std::uint64_t head;
        const QChar* folded;
        int size;
        int item;
    };

    NameList names_;
    Path folder_;
    QByteArray prefix_;  // the folder's path and a "/"
    NameChangePlan& result_;
    std::vector<Item> items_;
    std::vector<QString> beforeCase_;  // by item, once the case pass runs
    NameTable byName_;
    int pass_ = 0;
    QSet<QByteArray> hidden_;
    // A pass's listing, kept to be reused by the next.
    std::vector<Key> keys_;
    std::vector<QString> folded_;  // the case-folded names that differ from the names
    std::vector<int> order_;
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
        const std::vector<int>& listed = sim.listing();
        if (!listed.empty() && affix.textOn && affix.text.contains(u':')) return sim.stop(colon);
        return sim.renameEach(
            listed,
            [&](const QString& name, int index) -> std::optional<QString> {
                return affix.around(name, index, atFront);
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
