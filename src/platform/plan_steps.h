#pragma once

#include <QString>
#include <cstdint>
#include <iterator>
#include <vector>

#include "platform/name_list.h"
#include "platform/path.h"

// Why a run leaves an item where it is.
enum class Refusal : std::uint8_t {
    None,            // the item is moved or copied
    NameTaken,       // something already has its name at the destination
    NoMatchingType,  // filing: no category lists its type
    NotAFolder,      // the destination folder's name is held by something that is no folder
    NotAllowed,      // the step would lose data or leave the folder; `why` says how
    Missing,         // what the step needs is not there (a copy's source or folder); `why` names it
};

// One item of a plan: from is moved (or copied) to to, unless it is refused.
struct PlannedStep {
    Path from;
    Path to;
    Refusal refusal = Refusal::None;
    QString why;            // the alert a refused step shows, where the run shows one
    bool replaces = false;  // a copy that replaces what is at to (after asking, unless told not to)
};

// The steps of a plan, in order. Filing a folder of a million items plans a million moves,
// so moves of listed items from one folder into another under their own names are kept as
// places in the folder's listing (five bytes a step; the listing is shared, not copied),
// and such a step is made whole only when it is read. Other steps are kept whole.
class PlanSteps {
  public:
    // Moves the items of names at places items from folder `from` into folder `to`, each
    // under its own name, refusals[k] saying whether and why items[k] stays. An empty `to`:
    // items that have nowhere to go.
    void appendListed(const NameList& names, const Path& from, const Path& to,
                      std::vector<std::uint32_t> items, std::vector<Refusal> refusals);
    void push_back(PlannedStep step);
    // Room for whole steps to come.
    void reserve(qsizetype wholeSteps);
    // The steps of other after these.
    void append(PlanSteps other);

    qsizetype size() const { return size_; }
    bool empty() const { return size_ == 0; }
    PlannedStep operator[](qsizetype i) const;
    qsizetype count(Refusal why) const;

    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = PlannedStep;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = PlannedStep;

        PlannedStep operator*() const { return steps_->at(segment_, offset_); }
        // Read without making the step whole.
        Refusal refusal() const { return steps_->refusalAt(segment_, offset_); }
        const_iterator& operator++();
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.segment_ == b.segment_ && a.offset_ == b.offset_;
        }

      private:
        friend class PlanSteps;
        const_iterator(const PlanSteps* steps, std::size_t segment, std::size_t offset);
        void skipEmpty();
        const PlanSteps* steps_;
        std::size_t segment_;
        std::size_t offset_;
    };
    const_iterator begin() const { return {this, 0, 0}; }
    const_iterator end() const { return {this, segments_.size(), 0}; }

  private:
    struct Segment {
        qsizetype first = 0;  // the place of its first step in the plan
        // Listed moves:
        NameList names;
        Path from, to;
        std::vector<std::uint32_t> items;
        std::vector<Refusal> refusals;
        // Or whole steps:
        std::vector<PlannedStep> whole;
        bool listed = false;

        std::size_t size() const { return listed ? items.size() : whole.size(); }
    };
    PlannedStep at(std::size_t segment, std::size_t offset) const;
    Refusal refusalAt(std::size_t segment, std::size_t offset) const;
    Segment& wholeSegment();

    std::vector<Segment> segments_;
    qsizetype size_ = 0;
};
