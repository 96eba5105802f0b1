#include "tools/tool_paths.h"

namespace {

void override(QString& path, const char* variable) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty()) path = value;
}

}  // namespace

ToolPaths ToolPaths::fromEnvironment() {
    ToolPaths paths;
    override(paths.crontab, "DESKTIDY_CRONTAB");
    override(paths.mv, "DESKTIDY_MV");
    override(paths.pkexec, "DESKTIDY_PKEXEC");
    override(paths.systemctl, "DESKTIDY_SYSTEMCTL");
    return paths;
}
