#include "trace/EventAnalysis.h"

#include <QDir>
#include <QLibrary>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAnalysis, "lumidor.analysis")

EventAnalysisBinding bindEventAnalysis(const QString &folder)
{
    EventAnalysisBinding binding;
    // Destroying a QLibrary does not unload the library: the bound entries stay valid until the
    // process ends.
    QLibrary library(QDir(folder).filePath(QStringLiteral("QM7ZZZ")));
    if (!library.load()) {
        qCInfo(lcAnalysis) << "event-analysis library not loaded:" << library.errorString();
        return binding;
    }
    binding.deleteEvent = reinterpret_cast<QM7ZZZ_deleteEvent_fn>(library.resolve("QM7ZZZ_deleteEvent"));
    binding.insertEvent = reinterpret_cast<QM7ZZZ_insertEvent_fn>(library.resolve("QM7ZZZ_insertEvent"));
    binding.eventAnalysis = reinterpret_cast<QM7ZZZ_Event_Analysis_fn>(library.resolve("QM7ZZZ_Event_Analysis"));
    binding.algorithmVersion = reinterpret_cast<void *>(library.resolve("QM7ZZZ_algorithm_Version"));
    binding.totalLoss = reinterpret_cast<QM7ZZZ_Acount_Total_Loss_fn>(library.resolve("QM7ZZZ_Acount_Total_Loss"));
    return binding;
}
