#pragma once

#include "batch/BatchFiles.h"
#include "batch/BatchThumbnailLogic.h"
#include "panels/TextLookup.h"
#include "trace/TraceLoader.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CBatchThumbnail;
class CCheckListCtrl;
class CCustomIniFile;
class CMyBtnPrintType;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

// What the batch dialog needs from the program, handed in by whoever creates it.
struct BatchDealContext {
    CCustomIniFile *config = nullptr;        // GlobalSetting/SorFilePath is read and written here
    TextLookup texts;                        // the text library
    uint32_t cursorColour = 0x0000FF;        // Color/Cursor, 0x00BBGGRR
    QM7ZZZ_Acount_Total_Loss_fn totalLoss = nullptr; // event-analysis total loss, when bound
    QM7ZZZ_Event_Analysis_fn eventAnalysis = nullptr; // analyses files that store no events, when bound
    // Shows a warning (caption, text); without one a message box opens.
    std::function<void(const QString &caption, const QString &text)> warn;
    QString treeRoot = QStringLiteral("/");  // top of the folder tree
};

// Batch printing: pick SOR files from folders into a selected list, look at any of them with its
// cursors, choose how many traces go on a page, and prepare the slots the print run reads. The
// dialog loads files through its own SOR file object into its own slots; the main window's
// traces, record and saves are never touched. Printing itself is left to whoever listens to
// printRequested.
class CDlgBatchDeal : public QDialog {
    Q_OBJECT

public:
    explicit CDlgBatchDeal(BatchDealContext context, QWidget *parent = nullptr);
    ~CDlgBatchDeal() override;

    // Shows the dialog (again), first taking the print type from the drop-down list.
    void showDialog();

    // Lists `folder` as the current folder (what selecting it in the tree does).
    void FolderSelected(const QString &folder);
    void Add();
    void Delete();
    void SelectAll();
    void Clear();
    void PrintTypeChanged();
    // Prepares the slots at once; false (after the message) when nothing is selected.
    bool Prepare();
    // Prepares the slots a few files at a time, with progress, then emits printRequested.
    void PrintPreview() { startPreparation(true); }
    void Print() { startPreparation(false); }

    const QString &currentFolder() const { return m_currentFolder; }
    const std::vector<SelectedFile> &selectedFiles() const { return m_selected; }
    const CursorStore &cursorStore() const { return m_cursors; }
    // Print type "0" .. "4" for the print job.
    const QString &printType() const { return m_printType; }
    // True when the run should start with the summary table pages (unticked at first).
    bool summaryPage() const;
    // True when pairs among the selected files print as bidirectional pages (unticked at first).
    bool bidirectionalPages() const;
    // The slots of the last preparation (shared: a preview may keep them while new ones are made).
    std::shared_ptr<BatchSlots> preparedSlots() const { return m_slots; }
    int preparedCount() const { return m_slots ? static_cast<int>(m_slots->size()) : 0; }
    bool preparing() const { return m_preparation != nullptr; }

    CCheckListCtrl *fileList() const { return m_fileList; }
    CCheckListCtrl *selectedList() const { return m_selectedList; }
    CBatchThumbnail *thumbnail() const { return m_thumbnail; }
    CMyBtnPrintType *layoutPicture() const { return m_layout; }
    QComboBox *printTypeBox() const { return m_printTypeBox; }
    QCheckBox *summaryPageBox() const { return m_summaryPageBox; }
    QCheckBox *bidirectionalPagesBox() const { return m_bidirPagesBox; }
    QTreeView *folderTree() const { return m_tree; }
    QLabel *abLabel(int i) const { return m_abLabels[static_cast<size_t>(i)]; }
    QLabel *progressLabel() const { return m_progressText; }

Q_SIGNALS:
    // The slots are prepared; the listener opens a preview (true) or prints (false) from
    // preparedSlots(), printType() and preparedCount(), with the batch flag set.
    void printRequested(bool preview);
    // The folder list was filled (count rows).
    void folderListed(int count);

private:
    QString text(int id) const { return lookupText(m_context.texts, id); }
    void buildControls();
    void selectRememberedFolder();
    void rememberFolder(const QString &folder);
    void showFolderFile(int row);
    void showSelectedFile(int row);
    void startPreparation(bool preview);
    void prepareSome();
    void finishPreparation();
    void setBusy(bool busy);

    BatchDealContext m_context;
    QString m_currentFolder;
    bool m_tickAll = false;
    QString m_printType = QStringLiteral("0");
    CursorStore m_cursors;
    std::vector<SelectedFile> m_selected;
    std::shared_ptr<BatchSlots> m_slots;
    std::unique_ptr<BatchPreparation> m_preparation;
    bool m_previewRequested = false;

    QFileSystemModel *m_model = nullptr;
    QTreeView *m_tree = nullptr;
    CCheckListCtrl *m_fileList = nullptr;
    CCheckListCtrl *m_selectedList = nullptr;
    CBatchThumbnail *m_thumbnail = nullptr;
    std::array<QLabel *, 4> m_abLabels{};
    QComboBox *m_printTypeBox = nullptr;
    QCheckBox *m_summaryPageBox = nullptr;
    QCheckBox *m_bidirPagesBox = nullptr;
    CMyBtnPrintType *m_layout = nullptr;
    QPushButton *m_previewButton = nullptr;
    QPushButton *m_printButton = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_progressText = nullptr;
    QTimer *m_stepTimer = nullptr;
};
