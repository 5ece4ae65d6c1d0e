#include "RunReport.h"

namespace kaz {

RunReport renameReport(const RenameOutcome &outcome, Language l)
{
    RunReport report;
    for (const QString &path : outcome.lineBreakPaths)
        report.lines << QString::fromUtf8(tr2(l, "left alone, the path holds a line break: %1",
                                              "nicht bearbeitet, der Pfad enthält einen Zeilenumbruch: %1"))
                            .arg(path);
    report.lines << outcome.failures;
    if (!report.isEmpty())
        report.summary = QString::fromUtf8(tr2(l, "%1 files or folders were not renamed and keep their names:",
                                               "%1 Dateien oder Verzeichnisse wurden nicht umbenannt und behalten "
                                               "ihre Namen:"))
                             .arg(report.lines.size());
    return report;
}

RunReport undoReport(const UndoOutcome &outcome, Language l)
{
    RunReport report;
    report.lines = outcome.failures;
    if (report.isEmpty())
        return report;
    report.summary = QString::fromUtf8(tr2(l, "%1 files could not get their old names back:",
                                           "%1 Dateien konnten ihre alten Namen nicht zurückbekommen:"))
                         .arg(report.lines.size());
    if (outcome.keptLines > 0)
        report.summary = QString::fromUtf8(tr2(l, "%1\nThey stay in the undo logs: undo again once the cause is mended.",
                                               "%1\nSie bleiben in den Protokollen: nach Behebung der Ursache erneut "
                                               "rückgängig machen."))
                             .arg(report.summary);
    return report;
}

} // namespace kaz
