#pragma once

#include <QString>

#include "platform/run_plan.h"

// The details of a filing or unfiling question, from the plan the run carries out: how
// many items go into (filing) or come out of (unfiling) each folder, how many stay, then
// one line per item with names relative to folder, "notes.txt -> Words/notes.txt", a
// refused item followed by its reason. The counts are whole; the item lines stop at
// shownItems, then "and N more.", so that a folder of a million items asks at once.
inline constexpr int shownItems = 1000;
QString planDetails(const RunPlan& plan, const Path& folder);
