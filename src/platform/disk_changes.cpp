#include "platform/disk_changes.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

namespace {

long long countdownFromEnvironment() {
    const char* value = std::getenv("DESKTIDY_CRASH_AFTER_CHANGES");
    if (!value || !*value) return 0;
    char* end = nullptr;
    const long long changes = std::strtoll(value, &end, 10);
    return *end == '\0' && changes > 0 ? changes : 0;
}

}  // namespace

namespace disk_changes {

long long countdown = countdownFromEnvironment();

void crashNow() {
    ::kill(::getpid(), SIGKILL);
    ::_exit(137);  // not reached: SIGKILL cannot be caught
}

}  // namespace disk_changes
