#include "batch/BatchFiles.h"

#include "trace/CSorFileBase.h"
#include "trace/SorRecord.h"
#include "trace/TraceAnalysis.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

bool hasSorExtension(const QString &name)
{
    return QFileInfo(name).suffix().compare(QLatin1String("sor"), Qt::CaseInsensitive) == 0;
}

std::vector<FolderFile> listSorFiles(const QString &folder)
{
    std::vector<FolderFile> files;
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return files;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System,
                                                       QDir::Name | QDir::IgnoreCase);
    files.reserve(static_cast<size_t>(entries.size()));
    for (const QFileInfo &info : entries) {
        const QString name = info.fileName();
        if (!hasSorExtension(name))
            continue;
        FolderFile file{name, {}, {}};
        if (info.exists()) {
            file.sizeKb = QString::asprintf("%.2f", double(info.size()) / 1024.0);
            file.date = info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        }
        files.push_back(std::move(file));
    }
    return files;
}

int addSelectedFiles(std::vector<SelectedFile> &list, const std::vector<SelectedFile> &files)
{
    int added = 0;
    for (const SelectedFile &f : files) {
        if (std::find(list.begin(), list.end(), f) == list.end()) {
            list.push_back(f);
            ++added;
        }
    }
    return added;
}

BatchPreparation::BatchPreparation(std::vector<SelectedFile> files, const CursorStore &cursors,
                                   QM7ZZZ_Acount_Total_Loss_fn totalLoss, QM7ZZZ_Event_Analysis_fn analysis)
    : m_files(std::move(files))
    , m_cursors(cursors)
    , m_totalLoss(totalLoss)
    , m_analysis(analysis)
    , m_file(std::make_unique<CSorFileBase>())
    , m_slots(std::make_shared<BatchSlots>(m_files.size()))
{
}

BatchPreparation::~BatchPreparation() = default;

bool BatchPreparation::step()
{
    if (finished())
        return false;
    const auto i = static_cast<size_t>(m_next++);
    const SelectedFile &file = m_files[i];
    TraceSlot &slot = (*m_slots)[i];
    // Named even when the file cannot be read, so a summary of the run can say which file failed.
    slot.fileName = file.name;
    slot.filePath = file.folder;
    SorRecord record;
    int result = 5;
    try {
        result = m_file->ReadFile(file.path(), record);
    } catch (...) {
        result = 5; // a reader failure counts as an unacceptable file
    }
    if (result != 1 || record.traces.empty())
        return !finished();
    m_file->ClearSamples();
    loadTrace(std::move(record), *slot.trace, m_totalLoss);
    // A file that stores no events prints the ones the analysis finds, as the program shows them.
    if (!analyzeIfNoEvents(*slot.trace, m_analysis))
        eventsToEventList(*slot.trace);
    slot.loaded = 1;
    const CursorPair *stored = m_cursors.find(file.path());
    const CursorPair pair = stored ? *stored : defaultCursorPair(*slot.trace);
    slot.cursorADistance = pair.aDistance;
    slot.cursorALevel = pair.aLevel;
    slot.cursorBDistance = pair.bDistance;
    slot.cursorBLevel = pair.bLevel;
    return !finished();
}

void BatchPreparation::run()
{
    while (step()) {
    }
}
