#include "batch/CDlgBatchDeal.h"

#include "batch/CBatchThumbnail.h"
#include "batch/CCheckListCtrl.h"
#include "batch/CMyBtnPrintType.h"
#include "batch/PrintLayout.h"
#include "config/CCustomIniFile.h"
#include "config/Configuration.h"
#include "view/DialogUnits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

namespace text {
inline constexpr int FileName = 104;
inline constexpr int SizeKb = 105;
inline constexpr int Date = 106;
inline constexpr int Catalogue = 107;
inline constexpr int CurveLoading = 113;
inline constexpr int FinishCurveLoading = 114;
inline constexpr int SelectAtLeastOne = 115;
inline constexpr int Tips = 125;
inline constexpr int BatchPrinting = 196;
inline constexpr int FilePath = 221;
inline constexpr int AddButton = 222;
inline constexpr int DeleteButton = 223;
inline constexpr int SelectAllButton = 224;
inline constexpr int ClearButton = 225;
inline constexpr int Trace = 226;
inline constexpr int PrintType = 227;
inline constexpr int PrintPreview = 228;
inline constexpr int Print = 229;
inline constexpr int SelectedFile = 230;
inline constexpr int SummaryPage = 347;
inline constexpr int BidirectionalPages = 454;
} // namespace text

namespace {

// Files loaded between two looks at the event queue while preparing: the dialog keeps
// answering the user while hundreds of files load.
constexpr qint64 preparationSliceMs = 30;

QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

CDlgBatchDeal::CDlgBatchDeal(BatchDealContext context, QWidget *parent)
    : QDialog(parent)
    , m_context(std::move(context))
{
    setObjectName(QStringLiteral("CDlgBatchDeal"));
    setModal(false);
    buildControls();
    m_stepTimer = new QTimer(this);
    m_stepTimer->setInterval(0);
    connect(m_stepTimer, &QTimer::timeout, this, &CDlgBatchDeal::prepareSome);
    selectRememberedFolder();
}

CDlgBatchDeal::~CDlgBatchDeal() = default;

void CDlgBatchDeal::buildControls()
{
    setWindowTitle(text(text::BatchPrinting));
    const DialogUnits du(font());
    auto place = [&du](QWidget *w, int x, int y, int width, int height) {
        w->setGeometry(du.rect(x, y, width, height));
    };
    auto label = [&](int id, int x, int y, int width, int height) {
        auto *l = new QLabel(text(id), this);
        place(l, x, y, width, height);
        return l;
    };
    auto button = [&](int id, const char *name, int x, int y, int width, int height) {
        auto *b = new QPushButton(text(id), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        place(b, x, y, width, height);
        return b;
    };

    label(text::FilePath, 4, 6, 80, 8);
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(m_context.treeRoot);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("folderTree"));
    m_tree->setModel(m_model);
    // Under "/" the tree shows "/" itself as its top node; under another root, that root's folders.
    if (withoutTrailingSeparator(m_context.treeRoot) != QLatin1String("/"))
        m_tree->setRootIndex(m_model->index(withoutTrailingSeparator(m_context.treeRoot)));
    for (int c = 1; c < m_model->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->setHeaderHidden(true);
    place(m_tree, 4, 19, 154, 182);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    FolderSelected(m_model->filePath(current));
            });

    m_fileList = new CCheckListCtrl(this);
    m_fileList->setObjectName(QStringLiteral("fileList"));
    m_fileList->setColumns({{text(text::FileName), 200, Qt::AlignLeft},
                            {text(text::SizeKb), 70, Qt::AlignRight},
                            {text(text::Date), 140, Qt::AlignLeft}});
    place(m_fileList, 160, 19, 172, 182);
    connect(m_fileList, &CCheckListCtrl::rowActivated, this, &CDlgBatchDeal::showFolderFile);

    connect(button(text::AddButton, "add", 336, 53, 55, 21), &QPushButton::clicked, this, &CDlgBatchDeal::Add);
    connect(button(text::DeleteButton, "delete", 336, 83, 55, 21), &QPushButton::clicked, this,
            &CDlgBatchDeal::Delete);
    connect(button(text::SelectAllButton, "selectAll", 336, 113, 55, 21), &QPushButton::clicked, this,
            &CDlgBatchDeal::SelectAll);
    connect(button(text::ClearButton, "clear", 336, 143, 55, 21), &QPushButton::clicked, this,
            &CDlgBatchDeal::Clear);

    label(text::SelectedFile, 395, 8, 118, 8);
    m_selectedList = new CCheckListCtrl(this);
    m_selectedList->setObjectName(QStringLiteral("selectedList"));
    m_selectedList->setColumns({{text(text::FileName), 200, Qt::AlignLeft}, {text(text::Catalogue), 820, Qt::AlignLeft}});
    place(m_selectedList, 394, 19, 172, 182);
    connect(m_selectedList, &CCheckListCtrl::rowActivated, this, &CDlgBatchDeal::showSelectedFile);

    label(text::Trace, 7, 215, 108, 8);
    m_thumbnail = new CBatchThumbnail(m_cursors, m_context.totalLoss, m_context.eventAnalysis, this);
    m_thumbnail->setObjectName(QStringLiteral("thumbnail"));
    m_thumbnail->setCursorColour(m_context.cursorColour);
    place(m_thumbnail, 4, 227, 193, 116);

    QFont abFont(QStringLiteral("宋体"));
    abFont.setPixelSize(20);
    abFont.setWeight(QFont::Normal);
    const int abTops[] = {239, 265, 291, 317};
    for (size_t i = 0; i < m_abLabels.size(); ++i) {
        m_abLabels[i] = new QLabel(this);
        m_abLabels[i]->setFont(abFont);
        place(m_abLabels[i], 206, abTops[i], 79, 14);
    }
    connect(m_thumbnail, &CBatchThumbnail::abTextsChanged, this, [this](const QStringList &texts) {
        for (size_t i = 0; i < m_abLabels.size(); ++i)
            m_abLabels[i]->setText(texts.value(static_cast<qsizetype>(i)));
    });

    label(text::PrintType, 275, 214, 58, 8);
    m_printTypeBox = new QComboBox(this);
    m_printTypeBox->setObjectName(QStringLiteral("printType"));
    for (int k = 0; k < printTypeCount; ++k)
        m_printTypeBox->addItem(text(firstPrintTypeText + k));
    m_printTypeBox->setCurrentIndex(0);
    place(m_printTypeBox, 338, 211, 114, 12);
    connect(m_printTypeBox, &QComboBox::currentIndexChanged, this, &CDlgBatchDeal::PrintTypeChanged);

    // Beside the print type: whether the summary table comes before the reports.
    m_summaryPageBox = new QCheckBox(text(text::SummaryPage), this);
    m_summaryPageBox->setObjectName(QStringLiteral("summaryPage"));
    m_summaryPageBox->setChecked(false);
    place(m_summaryPageBox, 460, 211, 106, 12);
    // Pairs among the selected files (two directions of one fibre) print as bidirectional pages.
    m_bidirPagesBox = new QCheckBox(text(text::BidirectionalPages), this);
    m_bidirPagesBox->setObjectName(QStringLiteral("bidirectionalPages"));
    m_bidirPagesBox->setChecked(false);
    place(m_bidirPagesBox, 460, 225, 106, 12);

    m_layout = new CMyBtnPrintType(this);
    m_layout->setObjectName(QStringLiteral("layoutPicture"));
    place(m_layout, 287, 227, 165, 116);

    m_previewButton = button(text::PrintPreview, "printPreview", 474, 242, 68, 30);
    m_printButton = button(text::Print, "print", 474, 288, 68, 30);
    connect(m_previewButton, &QPushButton::clicked, this, &CDlgBatchDeal::PrintPreview);
    connect(m_printButton, &QPushButton::clicked, this, &CDlgBatchDeal::Print);

    m_progressText = new QLabel(this);
    m_progressText->setObjectName(QStringLiteral("progressText"));
    place(m_progressText, 460, 326, 106, 8);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setTextVisible(true);
    m_progress->hide();
    place(m_progress, 460, 336, 106, 8);

    const QRect all = du.rect(0, 0, 570, 348);
    setFixedSize(all.size());
}

bool CDlgBatchDeal::summaryPage() const
{
    return m_summaryPageBox->isChecked();
}

bool CDlgBatchDeal::bidirectionalPages() const
{
    return m_bidirPagesBox->isChecked();
}

void CDlgBatchDeal::showDialog()
{
    PrintTypeChanged();
    show();
    raise();
    activateWindow();
}

void CDlgBatchDeal::selectRememberedFolder()
{
    const QString remembered = m_context.config ? readSorFilePath(*m_context.config) : QString();
    if (remembered.isEmpty())
        return;
    const QModelIndex index = m_model->index(withoutTrailingSeparator(remembered));
    if (!index.isValid())
        return;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    // The model fills folders in the background; show the folder again once its parents are in.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] {
        if (m_tree->currentIndex().isValid())
            m_tree->scrollTo(m_tree->currentIndex());
    });
    if (m_currentFolder.isEmpty())
        FolderSelected(remembered);
}

void CDlgBatchDeal::rememberFolder(const QString &folder)
{
    if (m_context.config)
        writeSorFilePath(*m_context.config, folder);
}

void CDlgBatchDeal::FolderSelected(const QString &folder)
{
    m_fileList->clearRows();
    m_tickAll = false;
    if (folder.isEmpty())
        return;
    QString search = folder;
    if (!folder.endsWith(QLatin1Char('/'))) {
        m_currentFolder = folder;
        search += QLatin1Char('/');
    } else {
        m_currentFolder = folder.left(folder.size() - 1);
    }

    const std::vector<FolderFile> files = listSorFiles(search);
    std::vector<QStringList> rows;
    rows.reserve(files.size());
    for (const FolderFile &f : files)
        rows.push_back({f.name, f.sizeKb, f.date});
    m_fileList->addRows(rows);
    rememberFolder(search);
    Q_EMIT folderListed(static_cast<int>(rows.size()));
}

void CDlgBatchDeal::Add()
{
    std::vector<SelectedFile> ticked;
    for (int row : m_fileList->checkedRows())
        ticked.push_back({m_fileList->text(row, 0), m_currentFolder});
    const size_t before = m_selected.size();
    addSelectedFiles(m_selected, ticked);
    std::vector<QStringList> rows;
    for (size_t i = before; i < m_selected.size(); ++i)
        rows.push_back({m_selected[i].name, m_selected[i].folder});
    m_selectedList->addRows(rows);
    rememberFolder(m_currentFolder);
}

void CDlgBatchDeal::Delete()
{
    const std::vector<int> rows = m_selectedList->checkedRows();
    for (int row : rows)
        m_cursors.remove(m_selected[static_cast<size_t>(row)].path());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        m_selected.erase(m_selected.begin() + *it);
    m_selectedList->removeRows(rows);
}

void CDlgBatchDeal::SelectAll()
{
    if (m_fileList->rowCount() == 0)
        return;
    m_tickAll = !m_tickAll;
    m_fileList->setAllChecked(m_tickAll);
    rememberFolder(m_currentFolder);
}

void CDlgBatchDeal::Clear()
{
    m_cursors.clear();
    m_selected.clear();
    m_selectedList->clearRows();
}

void CDlgBatchDeal::PrintTypeChanged()
{
    const std::optional<int> k = printTypeForText(m_printTypeBox->currentText(), m_context.texts);
    if (k)
        m_printType = QString::number(*k);
    m_layout->setLayout(k.value_or(0));
}

void CDlgBatchDeal::showFolderFile(int row)
{
    if (row < 0 || row >= m_fileList->rowCount())
        return;
    m_thumbnail->setDraggingAllowed(false);
    m_thumbnail->setPath(m_currentFolder + QLatin1Char('/') + m_fileList->text(row, 0));
}

void CDlgBatchDeal::showSelectedFile(int row)
{
    if (row < 0 || row >= static_cast<int>(m_selected.size()))
        return;
    m_thumbnail->setDraggingAllowed(true);
    m_thumbnail->setPath(m_selected[static_cast<size_t>(row)].path());
}

bool CDlgBatchDeal::Prepare()
{
    if (m_selected.empty()) {
        const QString caption = text(text::Tips);
        const QString message = text(text::SelectAtLeastOne);
        if (m_context.warn)
            m_context.warn(caption, message);
        else
            QMessageBox(QMessageBox::Warning, caption, message, QMessageBox::Ok, this).exec();
        return false;
    }
    m_stepTimer->stop();
    m_preparation = std::make_unique<BatchPreparation>(m_selected, m_cursors, m_context.totalLoss, m_context.eventAnalysis);
    m_preparation->run();
    m_slots = m_preparation->slots();
    m_preparation.reset();
    return true;
}

void CDlgBatchDeal::startPreparation(bool preview)
{
    if (m_preparation)
        return;
    if (m_selected.empty()) {
        Prepare(); // tells the user
        return;
    }
    m_previewRequested = preview;
    m_preparation = std::make_unique<BatchPreparation>(m_selected, m_cursors, m_context.totalLoss, m_context.eventAnalysis);
    m_progress->setRange(0, m_preparation->count());
    m_progress->setValue(0);
    m_progress->show();
    m_progressText->setText(text(text::CurveLoading));
    setBusy(true);
    m_stepTimer->start();
}

void CDlgBatchDeal::prepareSome()
{
    if (!m_preparation) {
        m_stepTimer->stop();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    while (m_preparation->step() && slice.elapsed() < preparationSliceMs) {
    }
    m_progress->setValue(m_preparation->done());
    if (m_preparation->finished())
        finishPreparation();
}

void CDlgBatchDeal::finishPreparation()
{
    m_stepTimer->stop();
    m_slots = m_preparation->slots();
    m_preparation.reset();
    m_progress->hide();
    m_progressText->setText(text(text::FinishCurveLoading));
    setBusy(false);
    Q_EMIT printRequested(m_previewRequested);
}

void CDlgBatchDeal::setBusy(bool busy)
{
    m_previewButton->setEnabled(!busy);
    m_printButton->setEnabled(!busy);
}
