#include "platform/plan_steps.h"

#include <algorithm>

void PlanSteps::appendListed(const NameList& names, const Path& from, const Path& to,
                             std::vector<std::uint32_t> items, std::vector<Refusal> refusals) {
    Q_ASSERT(items.size() == refusals.size());
    if (items.empty()) return;
    Segment segment;
    segment.first = size_;
    segment.names = names;
    segment.from = from;
    segment.to = to;
    segment.items = std::move(items);
    segment.refusals = std::move(refusals);
    segment.listed = true;
    size_ += qsizetype(segment.items.size());
    segments_.push_back(std::move(segment));
}

PlanSteps::Segment& PlanSteps::wholeSegment() {
    if (segments_.empty() || segments_.back().listed) {
        Segment segment;
        segment.first = size_;
        segments_.push_back(std::move(segment));
    }
    return segments_.back();
}

void PlanSteps::push_back(PlannedStep step) {
    wholeSegment().whole.push_back(std::move(step));
    ++size_;
}

void PlanSteps::reserve(qsizetype wholeSteps) {
    std::vector<PlannedStep>& whole = wholeSegment().whole;
    whole.reserve(whole.size() + std::size_t(wholeSteps));
}

void PlanSteps::append(PlanSteps other) {
    for (Segment& segment : other.segments_) {
        if (segment.size() == 0) continue;
        segment.first += size_;
        segments_.push_back(std::move(segment));
    }
    size_ += other.size_;
}

PlannedStep PlanSteps::operator[](qsizetype i) const {
    Q_ASSERT(i >= 0 && i < size_);
    // The last segment that starts at or before i holds it: an empty one that starts
    // there too comes before it.
    const auto after = std::upper_bound(
        segments_.begin(), segments_.end(), i,
        [](qsizetype place, const Segment& segment) { return place < segment.first; });
    const std::size_t segment = std::size_t(after - segments_.begin()) - 1;
    return at(segment, std::size_t(i - segments_[segment].first));
}

qsizetype PlanSteps::count(Refusal why) const {
    qsizetype n = 0;
    for (const Segment& segment : segments_) {
        if (segment.listed)
            n += std::count(segment.refusals.begin(), segment.refusals.end(), why);
        else
            for (const PlannedStep& step : segment.whole) n += step.refusal == why;
    }
    return n;
}

PlannedStep PlanSteps::at(std::size_t segment, std::size_t offset) const {
    const Segment& s = segments_[segment];
    if (!s.listed) return s.whole[offset];
    const QByteArrayView name = s.names.at(s.items[offset]);
    return {s.from / name, s.to.isEmpty() ? Path() : s.to / name, s.refusals[offset], {}};
}

Refusal PlanSteps::refusalAt(std::size_t segment, std::size_t offset) const {
    const Segment& s = segments_[segment];
    return s.listed ? s.refusals[offset] : s.whole[offset].refusal;
}

PlanSteps::const_iterator::const_iterator(const PlanSteps* steps, std::size_t segment,
                                          std::size_t offset)
    : steps_(steps), segment_(segment), offset_(offset) {
    skipEmpty();
}

PlanSteps::const_iterator& PlanSteps::const_iterator::operator++() {
    ++offset_;
    skipEmpty();
    return *this;
}

void PlanSteps::const_iterator::skipEmpty() {
    while (segment_ < steps_->segments_.size() && offset_ >= steps_->segments_[segment_].size()) {
        ++segment_;
        offset_ = 0;
    }
}
