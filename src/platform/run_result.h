#pragma once

// How a command ended, so the command line can choose its exit status.
enum class [[nodiscard]] RunResult{
    Done,       // ran to its end (single items may still have stayed where they were)
    Cancelled,  // the user answered "Cancel" or "Stop"
    Failed,     // the run could not be carried out; the user has been told why
};
