#pragma once

#include <QString>

#include "platform/run_plan.h"

// The details of a filing or unfiling question, from the plan the run carries out: how
// many items go into (filing) or come out of (unfiling) each folder, how many stay, then
// one line per item with names relative to folder, "notes.txt -> Words/notes.txt", a
// refused item followed by its reason.
QString planDetails(const RunPlan& plan, const Path& folder);
