#include "names/name_change_plan.h"

#include <limits.h>
#include <unistd.h>

#include <QHashFunctions>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "names/name_rules.h"
#include "platform/name_table.h"

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

// The planner keeps names as the UTF-8 bytes they have on disk: a name no rule changes is
// never copied, and the bytes of a new name are those of its path. Every name it holds is
// valid UTF-8 and the rules' texts are valid UTF-16 (typed, or decoded from arguments), and
// the two encodings map one to one, so bytes compare equal exactly when the texts do.

char16_t asciiLower(char c) { return char16_t(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); }

// The new names of a plan, packed into large blocks: a heap block per name would cost more
// than the name and, on a large folder, as much again in fresh memory to fault in. Nothing
// is given back before the end, so every view of a kept name stays valid as long as this.
class NameStore {
  public:
    QByteArrayView keep(QByteArrayView name) {
        if (name.isEmpty()) return QByteArrayView("", 0);
        if (room_ < name.size()) {
            const qsizetype size = std::max(blockSize, name.size());
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(std::size_t(size)));
            next_ = blocks_.back().get();
            room_ = size;
        }
        char* const kept = next_;
        std::memcpy(kept, name.data(), std::size_t(name.size()));
        next_ += name.size();
        room_ -= name.size();
        return {kept, name.size()};
    }

  private:
    static constexpr qsizetype blockSize = qsizetype(1) << 18;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    qsizetype room_ = 0;
};

// A rule's new name, written afresh for every item. Its appends are inline: QByteArray's
// resize is a library call, and a name change of a large folder made a few million of them.
class NameBuffer {
  public:
    void clear() { size_ = 0; }
    void append(QByteArrayView bytes) {
        char* const at = extend(bytes.size());
        if (!bytes.isEmpty()) std::memcpy(at, bytes.data(), std::size_t(bytes.size()));
    }
    void assign(QByteArrayView bytes) {
        clear();
        append(bytes);
    }
    // Makes room for size more bytes at the end, and returns where they start.
    char* extend(qsizetype size) {
        if (size_ + size > qsizetype(bytes_.size()))
            bytes_.resize(std::max(std::size_t(size_ + size), 2 * bytes_.size()));
        char* const at = bytes_.data() + size_;
        size_ += size;
        return at;
    }
    char* begin() { return bytes_.data(); }
    char* end() { return bytes_.data() + size_; }
    QByteArrayView view() const { return {bytes_.data(), size_}; }
    operator QByteArrayView() const { return view(); }

  private:
    std::vector<char> bytes_;
    qsizetype size_ = 0;
};

// An item of the folder as the passes leave it. Small: a run may plan 100,000 of them.
// Its names are views of the listing's bytes or of the simulation's NameStore.
struct Item {
    QByteArrayView current;   // until renamed, the listing's own bytes
    QByteArrayView previous;  // the name the current pass took from it (renamedIn is that pass)
    std::size_t currentHash = 0;
    std::uint32_t listIndex = 0;  // where the listing holds its original name
    std::uint8_t renamedIn = 0;   // the last pass that renamed it, 0 for none
    bool listed = false;          // every pass lists it: a file, or any item with folders too
};

enum class TakenName { GoesOn, EndsRun };

// A pass's sort key: the case-folded name, as ASCII bytes folded while comparing or as
// UTF-16, and its first four UTF-16 units, which tell most names apart.
struct Key {
    std::uint64_t head;
    const void* folded;
    std::uint32_t size : 30;
    std::uint32_t wide : 1;
    std::uint32_t lower : 1;  // ASCII with no capital: its bytes are its folded text
    int item;

    char16_t at(int i) const {
        return wide ? static_cast<const char16_t*>(folded)[i]
                    : asciiLower(static_cast<const char*>(folded)[i]);
    }
};

// As QString::compare orders the folded texts: by UTF-16 unit, then by length.
int compareFolded(const Key& a, const Key& b) {
    const int common = int(std::min(a.size, b.size));
    if (a.lower && b.lower) {
        if (const int c = std::memcmp(a.folded, b.folded, std::size_t(common))) return c;
        return a.size < b.size ? -1 : a.size > b.size ? 1 : 0;
    }
    for (int i = 0; i < common; ++i)
        if (const char16_t x = a.at(i), y = b.at(i); x != y) return x < y ? -1 : 1;
    return a.size < b.size ? -1 : a.size > b.size ? 1 : 0;
}

// The folder as the passes leave it: every visible UTF-8 name and its item. Hidden names
// cannot be new names (a leading "." is refused) and names that are not UTF-8 cannot
// equal one, so only these can make a new name taken.
class Simulation {
  public:
    Simulation(NameList names, const Path& folder, const NameChangeOptions& options,
               qsizetype nameMax, NameChangePlan& result)
        : names_(std::move(names)), folder_(folder), result_(result), nameMax_(nameMax) {
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
            item.current = bytes;
            item.currentHash = hashOf(bytes);
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
        keys_.reserve(items_.size());  // grown in one step: a large folder's growth is faulted in
        folded_.clear();
        for (int i = 0; i < int(items_.size()); ++i) {
            Item& item = items_[i];
            item.previous = QByteArrayView();
            if (!item.listed) continue;
            const auto [ascii, capital] = asciiScan(item.current);
            Key key{};
            key.item = i;
            if (ascii) {
                key.folded = item.current.constData();
                key.size = std::uint32_t(item.current.size());
                key.lower = !capital;
            } else {
                folded_.push_back(QString::fromUtf8(item.current).toCaseFolded());
                key.folded = folded_.back().utf16();
                key.size = std::uint32_t(folded_.back().size());
                key.wide = true;
            }
            for (int k = 0; k < 4; ++k)
                key.head = key.head << 16 | (k < int(key.size) ? key.at(k) : 0);
            keys_.push_back(key);
        }
        const auto before = [&](const Key& a, const Key& b) {
            if (a.head != b.head) return a.head < b.head;
            if (const int c = compareFolded(a, b)) return c < 0;
            return items_[a.item].current < items_[b.item].current;
        };
        // Often a pass leaves the order as it was: then there is nothing to sort.
        if (!std::is_sorted(keys_.begin(), keys_.end(), before))
            std::sort(keys_.begin(), keys_.end(), before);
        order_.clear();
        order_.reserve(keys_.size());
        for (const Key& key : keys_) order_.push_back(key.item);
        return order_;
    }

    // rule(name, index, newName) writes an item's new name into newName and returns true,
    // or returns false to leave it. newName is one buffer, reused for every item.
    template <typename Rule>
    bool renameEach(const std::vector<int>& listed, const Rule& rule, TakenName taken) {
        NameBuffer& newName = newName_;
        for (std::size_t i = 0; i < listed.size(); ++i) {
            const QByteArrayView name = items_[listed[i]].current;
            if (!rule(name, static_cast<int>(i), newName)) continue;
            if (newName.view().isEmpty()) return stop(emptyName, name);
            if (newName.view().startsWith('.')) return stop(period, name);
            // The move that gives a name the file system cannot hold fails, and ends the run.
            if (tooLong(newName))
                return stop(FileError::fromErrno(ENAMETOOLONG, pathOf(name), QStringLiteral("move"))
                                .message,
                            name);
            const std::size_t hash = hashOf(newName);
            if (const int found = holderOf(newName, hash); found >= 0) {
                // The names of this pass's listing are taken; a name given earlier in this
                // pass, or one not listed, makes the move itself fail.
                const Item& other = items_[found];
                const bool givenNow = other.renamedIn == pass_ && other.current == newName.view();
                if (givenNow || !other.listed)
                    return stop(
                        FileError::fromErrno(EEXIST, pathOf(name), QStringLiteral("move")).message,
                        name);
                if (taken == TakenName::EndsRun)
                    return stop(takenPrefix + displayName(newName), name);
                refuse(name, newName);
                continue;
            }
            giveName(listed[i], newName, hash);
        }
        return true;
    }

    // Neither a taken name nor a failure ends this pass. A name of the listing, or of any
    // item now, is taken.
    void changeCase(bool upper) {
        beforeCase_.resize(items_.size());
        NameBuffer& newName = newName_;
        for (const int item : listing()) {
            const QByteArrayView name = items_[item].current;
            if (asciiScan(name).ascii) {  // ASCII letters map to ASCII letters, the rest stays
                newName.assign(name);
                for (char& c : newName)
                    if (upper ? (c >= 'a' && c <= 'z') : (c >= 'A' && c <= 'Z')) c ^= 0x20;
            } else {
                newName.assign(caseChanged(QString::fromUtf8(name), upper).toUtf8());
            }
            if (newName.view() == name) continue;
            // Upper case can take more bytes; a name grown too long keeps its case, as a
            // refused change of case does.
            if (tooLong(newName)) {
                result_.plan.steps.push_back(
                    {pathOf(name), pathOf(newName), Refusal::NotAllowed,
                     FileError::fromErrno(ENAMETOOLONG, pathOf(name), QStringLiteral("rename"))
                         .message});
                continue;
            }
            const std::size_t hash = hashOf(newName);
            if (holderOf(newName, hash) >= 0) {
                refuse(name, newName);
                continue;
            }
            beforeCase_[item] = name;
            giveName(item, newName, hash);
        }
    }

    bool stop(const QString& alert, QByteArrayView name = QByteArrayView()) {
        result_.plan.stopAlert = alert;
        if (!name.isNull()) result_.plan.stopItem = pathOf(name);
        return false;
    }
    void log(const QString& line) { result_.logLines << line; }
    Path pathOf(QByteArrayView name) const { return folder_ / name; }

    // The net moves, in an order in which each finds its new name free.
    void addNetMoves() {
        // What only the passes needed goes first: the steps' paths can reuse its memory.
        std::vector<Key>().swap(keys_);
        std::vector<QString>().swap(folded_);
        std::vector<int>().swap(order_);
        std::vector<int> moving;  // the items that end with another name
        for (int i = 0; i < int(items_.size()); ++i) {
            items_[i].previous = QByteArrayView();
            if (items_[i].renamedIn != 0 && items_[i].current != originalOf(i)) moving.push_back(i);
        }
        byName_.reset(moving.size());  // now by original name, to a place in moving
        for (std::size_t k = 0; k < moving.size(); ++k)
            byName_.insert(hashOf(originalOf(moving[k])), int(k));
        // The moving item whose original name moving[k] is to take.
        auto blocker = [&](int k) {
            const Item& item = items_[moving[k]];
            return byName_.find(item.currentHash, [&](int other) {
                return originalOf(moving[other]) == item.current;
            });
        };
        result_.plan.steps.reserve(qsizetype(moving.size()));
        if (!beforeCase_.empty()) {
            result_.beforeCase.resize(std::size_t(result_.plan.steps.size()));
            result_.beforeCase.reserve(result_.beforeCase.size() + moving.size());
        }
        auto addMoveOf = [&](int k) {
            addMove(pathOf(originalOf(moving[k])), pathOf(items_[moving[k]].current), moving[k]);
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
                addMove(pathOf(originalOf(moving[next])), temporary, -1);
                for (auto it = chain.rbegin(); *it != next; ++it) addMoveOf(*it);
                addMove(temporary, pathOf(items_[moving[next]].current), moving[next]);
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
    QByteArrayView originalOf(int item) const { return names_.at(items_[item].listIndex); }
    // Whether a name, or the path it makes, is longer than the file system takes.
    bool tooLong(QByteArrayView name) const {
        return name.size() > nameMax_ || folder_.bytes().size() + 1 + name.size() >= PATH_MAX;
    }
    // The item that has name now, or had it when the current pass began: the listing holds
    // a name until its pass ends. -1 when none has.
    int holderOf(QByteArrayView name, std::size_t hash) const {
        return byName_.find(hash, [&](int item) {
            const Item& it = items_[item];
            return it.current == name || (it.renamedIn == pass_ && it.previous == name);
        });
    }
    void giveName(int item, QByteArrayView newName, std::size_t hash) {
        Item& it = items_[item];
        it.previous = it.current;
        it.current = store_.keep(newName);
        it.currentHash = hash;
        it.renamedIn = std::uint8_t(pass_);
        byName_.insert(hash, item);
    }
    // The names items have now, with room for a new name for each.
    void rebuildNames() {
        byName_.reset(2 * items_.size());
        for (int i = 0; i < int(items_.size()); ++i) byName_.insert(items_[i].currentHash, i);
    }
    void refuse(QByteArrayView name, QByteArrayView newName) {
        result_.plan.notices << takenPrefix + displayName(newName);
        result_.plan.steps.push_back({pathOf(name), pathOf(newName), Refusal::NameTaken, {}});
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

    NameList names_;
    Path folder_;
    NameChangePlan& result_;
    std::vector<Item> items_;
    NameStore store_;                         // the new names items_ views
    NameBuffer newName_;                      // a rule's new name, before it is kept
    std::vector<QByteArrayView> beforeCase_;  // by item, once the case pass runs
    NameTable byName_;
    int pass_ = 0;
    qsizetype nameMax_;
    QSet<QByteArray> hidden_;
    // A pass's listing, kept to be reused by the next.
    std::vector<Key> keys_;
    std::vector<QString> folded_;  // the case-folded names that are not ASCII
    std::vector<int> order_;
};

// Affix in UTF-8: the number, the text and the number again, each when it is on.
struct AffixBytes {
    bool numberFirst = false;
    bool textOn = false;
    QByteArray text;
    bool numberLast = false;

    bool isOn() const { return numberFirst || textOn || numberLast; }
    // Writes name with the affix at its front or end into result.
    void around(QByteArrayView name, int index, bool atFront, NameBuffer& result) const {
        char digits[12];
        char* const end = digits + sizeof digits;
        char* begin = end;
        unsigned value = unsigned(index);
        do {
            *--begin = char('0' + value % 10);
            value /= 10;
        } while (value != 0);
        const QByteArrayView number(begin, end - begin);
        result.clear();
        if (!atFront) result.append(name);
        if (numberFirst) result.append(number);
        if (textOn) result.append(text);
        if (numberLast) result.append(number);
        if (atFront) result.append(name);
    }
};

// Every occurrence of find, from left to right without overlaps, as replacedName finds
// them in text: UTF-8 matches only at whole characters. Writes the new name into result;
// false when find is not in name.
bool replaceBytes(QByteArrayView name, QByteArrayView find, QByteArrayView replacement,
                  NameBuffer& result) {
    // Names are short: finding the first byte and comparing the rest costs less than
    // QByteArrayView::indexOf or memmem, which set up a search of their own every call.
    auto next = [&](qsizetype from) -> qsizetype {
        if (name.size() - from < find.size()) return -1;
        const char* const last = name.data() + name.size() - find.size();
        for (const char* at = name.data() + from; at <= last; ++at) {
            at = static_cast<const char*>(std::memchr(at, find[0], std::size_t(last - at + 1)));
            if (!at) return -1;
            if (std::memcmp(at + 1, find.data() + 1, std::size_t(find.size() - 1)) == 0)
                return at - name.data();
        }
        return -1;
    };
    qsizetype at = next(0);
    if (at < 0) return false;
    result.clear();
    qsizetype from = 0;
    do {
        result.append(name.sliced(from, at - from));
        result.append(replacement);
        from = at + find.size();
        at = next(from);
    } while (at >= 0);
    result.append(name.sliced(from));
    return true;
}

// Writes name without the bytes drop(c) is true for into result; false when there are none.
template <typename Drop>
bool dropBytes(QByteArrayView name, Drop drop, NameBuffer& result) {
    qsizetype kept = 0;
    for (const char c : name) kept += !drop(c);
    if (kept == name.size()) return false;
    result.clear();
    char* out = result.extend(kept);
    for (const char c : name)
        if (!drop(c)) *out++ = c;
    return true;
}

}  // namespace

NameChangePlan planNameChange(FileSystem& files, const Path& folder,
                              const NameChangeOptions& options) {
    NameChangePlan result;
    result.plan.kind = RunKind::Rename;
    // A "/" in a new name would move the item into another folder, "../x" out of this
    // one: refused before anything is renamed.
    if ((options.replaceCheck && options.replace2TextField.contains(u'/')) ||
        (options.prefixStringCheck && options.prefixTextField.contains(u'/')) ||
        (options.suffixStringCheck && options.suffixTextField.contains(u'/'))) {
        result.plan.stopAlert = slash;
        return result;
    }

    // The longest name the folder's file system takes (255 bytes on most).
    const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    Simulation sim(files.listNames(folder, true), folder, options, nameMax > 0 ? nameMax : 255,
                   result);
    // The texts are read from the controls, as the window shows them.
    const AffixBytes prefix{options.prefixNumberCheck, options.prefixStringCheck,
                            options.prefixTextField.toUtf8(), options.prefixNumber2Check};
    const AffixBytes suffix{options.suffixNumberCheck, options.suffixStringCheck,
                            options.suffixTextField.toUtf8(), options.suffixNumber2Check};

    auto replacePass = [&] {
        if (options.replace1TextField.isEmpty()) return sim.stop(emptyFind);
        // A "/" typed in the text to find stands for the ":" that names from a Mac volume
        // keep in its place.
        const QString find = QString(options.replace1TextField).replace(u'/', u':');
        if (options.replace2TextField.contains(u':')) return sim.stop(colon);
        const QByteArray findBytes = find.toUtf8();
        const QByteArray replacementBytes = options.replace2TextField.toUtf8();
        const bool ignoreCase = options.ignoreCaseCheck;
        return sim.renameEach(
            sim.listing(),
            [&](QByteArrayView name, int, NameBuffer& newName) {
                if (!ignoreCase) return replaceBytes(name, findBytes, replacementBytes, newName);
                const std::optional<QString> replaced =
                    replacedName(QString::fromUtf8(name), find, options.replace2TextField, true);
                if (!replaced) return false;
                newName.assign(replaced->toUtf8());
                return true;
            },
            TakenName::GoesOn);
    };
    // A taken name lets the prefix pass go on with the next item but ends the suffix pass.
    auto affixPass = [&](const AffixBytes& affix, bool atFront) {
        const std::vector<int>& listed = sim.listing();
        if (!listed.empty() && affix.textOn && affix.text.contains(':')) return sim.stop(colon);
        return sim.renameEach(
            listed,
            [&](QByteArrayView name, int index, NameBuffer& newName) {
                affix.around(name, index, atFront, newName);
                return true;
            },
            atFront ? TakenName::GoesOn : TakenName::EndsRun);
    };
    auto removeSpacesPass = [&] {
        return sim.renameEach(
            sim.listing(),
            [](QByteArrayView name, int, NameBuffer& newName) {
                return dropBytes(
                    name, [](char c) { return c == ' '; }, newName);
            },
            TakenName::GoesOn);
    };
    auto removeNumbersPass = [&] {
        return sim.renameEach(
            sim.listing(),
            [&](QByteArrayView name, int, NameBuffer& newName) {
                if (!dropBytes(
                        name, [](char c) { return c >= '0' && c <= '9'; }, newName))
                    return false;
                sim.log(QStringLiteral("Paths = %1, %2")
                            .arg(sim.pathOf(name).display(), sim.pathOf(newName).display()));
                return true;
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
