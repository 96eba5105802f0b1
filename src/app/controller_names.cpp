#include "app/desktidy_controller.h"
#include "names/name_change_run.h"

RunResult DesktidyController::changeNames(const Path& given, const NameChangeOptions& options) {
    const Path folder = folderToWorkIn(given);
    RunRequest request{RunKind::Rename, {folder}};
    request.question = RunQuestion{
        QStringLiteral("Change Names"), NameChangeRun::question(given), QStringLiteral("OK"), {}};
    return pipeline_
        .run(request,
             [&](RunContext& run) {
                 noteRecentFolder(given);
                 NameChangeRun names(run.files(), folder, run.observer());
                 const RunResult result =
                     names.execute(planNameChange(run.files(), folder, options));
                 run.report() = names.report();
                 for (const QString& notice : names.notices()) run.noticeAtEnd(notice);
                 return result;
             })
        .result;
}

RunPlan DesktidyController::planChangeNames(const Path& folder, const NameChangeOptions& options) {
    NameChangePlan names = planNameChange(services_.files, folderToWorkIn(folder), options);
    // A run that is not stopped ends by listing the names no rule could read; so does its
    // preview.
    if (names.completed() && !names.undecoded.empty()) {
        QString notice = NameChangeTexts::undecoded;
        for (const QByteArray& name : names.undecoded) notice += u'\n' + displayName(name);
        names.plan.notices << notice;
    }
    return std::move(names.plan);
}
