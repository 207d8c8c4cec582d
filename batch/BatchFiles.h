#pragma once

#include "batch/BatchThumbnailLogic.h"
#include "trace/TraceLoader.h"
#include "trace/TraceSet.h"

#include <QString>

#include <memory>
#include <vector>

class CSorFileBase;

// One SOR file of a listed folder. Size and date stay empty when the file's status cannot be
// read.
struct FolderFile {
    QString name;
    QString sizeKb; // "%.2f" of bytes / 1024
    QString date;   // "yyyy-MM-dd HH:mm:ss", local time
};

// True when the text after the last "." is "sor" in any letter case.
bool hasSorExtension(const QString &name);

// The files of `folder` (not its subfolders) whose names end in ".sor" in any case, by name
// without regard to letter case.
// A folder that cannot be listed gives no files.
std::vector<FolderFile> listSorFiles(const QString &folder);

// A file of the batch dialog's selected list.
struct SelectedFile {
    QString name;
    QString folder; // without a trailing separator

    QString path() const { return folder + QLatin1Char('/') + name; }
    bool operator==(const SelectedFile &) const = default;
};

// Appends each of `files` not yet in `list` (same name and folder, exactly); returns how many
// were added.
int addSelectedFiles(std::vector<SelectedFile> &list, const std::vector<SelectedFile> &files);

// The slots a batch preparation fills: one per selected file, each with its own trace. Shared so
// that a preview keeps its slots alive while a later preparation builds new ones.
using BatchSlots = std::vector<TraceSlot>;

// Loads the selected files one at a time into a fresh slot array through its own SOR file
// object, so the batch never touches the main window's file object, record or traces. A file
// that cannot be read leaves its slot unloaded with an empty trace, but with its name and folder.
class BatchPreparation {
public:
    // `analysis`, when bound, finds the events of a file that stores none, as the program does.
    BatchPreparation(std::vector<SelectedFile> files, const CursorStore &cursors,
                     QM7ZZZ_Acount_Total_Loss_fn totalLoss, QM7ZZZ_Event_Analysis_fn analysis = nullptr);
    ~BatchPreparation();

    // Loads the next file; false once every file was handled.
    bool step();
    // Loads every remaining file.
    void run();

    int done() const { return m_next; }
    int count() const { return static_cast<int>(m_files.size()); }
    bool finished() const { return m_next >= count(); }
    std::shared_ptr<BatchSlots> slots() const { return m_slots; }

private:
    std::vector<SelectedFile> m_files;
    const CursorStore &m_cursors;
    QM7ZZZ_Acount_Total_Loss_fn m_totalLoss;
    QM7ZZZ_Event_Analysis_fn m_analysis;
    std::unique_ptr<CSorFileBase> m_file;
    std::shared_ptr<BatchSlots> m_slots;
    int m_next = 0;
};
