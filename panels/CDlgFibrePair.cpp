#include "panels/CDlgFibrePair.h"

#include "panels/MessageBox.h"
#include "print/CPrintFrame.h"
#include "print/ReportRenderer.h"
#include "trace/TraceSet.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Text identifiers this window uses besides its own range.
constexpr int printPreviewText = 194;
constexpr int printText = 195;
constexpr int exportPdfText = 308;
constexpr int pdfFilterText = 309;
constexpr int pdfFailedText = 310;
constexpr int secondTraceText = 478;
constexpr int bidirTitleText = 452;
constexpr int wavelengthTitleText = 453;

// Both curves and the event marks, drawn by the report page's own plot routine.
class PairPlot : public QWidget {
public:
    PairPlot(const CDlgFibrePair &owner, const TraceSet &traces, QWidget *parent)
        : QWidget(parent), m_owner(owner), m_traces(traces)
    {
        setMinimumSize(640, 300);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::white);
        setPalette(pal);
    }

    std::vector<PairCurve> curves() const
    {
        const PairPageContent &c = m_owner.content();
        const int first = m_traces.currentSlot;
        const int second = m_owner.secondSlot();
        if (second < 0)
            return {};
        return {{m_traces.slots[static_cast<size_t>(first)].trace.get(), false, QColor(0, 70, 200), c.firstLengthM},
                {m_traces.slots[static_cast<size_t>(second)].trace.get(), c.kind == PairPageKind::Bidirectional,
                 c.kind == PairPageKind::Bidirectional ? QColor(200, 90, 0) : QColor(0, 150, 60), c.secondLengthM}};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, false);
        drawPairPlot(p, QRectF(rect()).adjusted(4, 4, -4, -4), curves(), m_owner.content(), font(), devicePixelRatioF());
    }

private:
    const CDlgFibrePair &m_owner;
    const TraceSet &m_traces;
};

} // namespace

CDlgFibrePair::CDlgFibrePair(PairPageKind kind, const TraceSet &traces, ReportEnvironment env, TextLookup texts,
                             QWidget *parent)
    : QDialog(parent), m_kind(kind), m_traces(traces), m_env(std::move(env)), m_texts(std::move(texts)),
      m_first(traces.currentSlot)
{
    setObjectName(kind == PairPageKind::Bidirectional ? QStringLiteral("CDlgBidirectional") : QStringLiteral("CDlgWavelengths"));
    setWindowTitle(lookupText(m_texts, kind == PairPageKind::Bidirectional ? bidirTitleText : wavelengthTitleText));

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *firstLabel = new QLabel(this);
    const TraceSlot &current = traces.slots[static_cast<size_t>(m_first)];
    firstLabel->setText(QStringLiteral("%1 (%2 nm)").arg(current.fileName).arg(current.trace->wavelengthNm));
    top->addWidget(firstLabel);
    top->addSpacing(24);
    top->addWidget(new QLabel(lookupText(m_texts, secondTraceText) + QLatin1Char(':'), this));
    m_secondBox = new QComboBox(this);
    m_secondBox->setObjectName(QStringLiteral("secondTrace"));
    for (int i = 0; i < traces.loadedCount && i < TraceSet::slotCount; ++i) {
        const TraceSlot &slot = traces.slots[static_cast<size_t>(i)];
        if (i == m_first || !slot.loaded)
            continue;
        m_secondBox->addItem(QStringLiteral("%1 (%2 nm)").arg(slot.fileName).arg(slot.trace->wavelengthNm), i);
    }
    top->addWidget(m_secondBox, 1);
    layout->addLayout(top);

    m_plot = new PairPlot(*this, traces, this);
    m_plot->setObjectName(QStringLiteral("pairPlot"));
    layout->addWidget(m_plot, 3);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("pairProblem"));
    m_problem->setStyleSheet(QStringLiteral("color: #c00000"));
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("pairTotals"));
    layout->addWidget(m_totals);
    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("pairEvents"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(m_table, 2);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *previewButton = buttons->addButton(lookupText(m_texts, printPreviewText), QDialogButtonBox::ActionRole);
    previewButton->setObjectName(QStringLiteral("pairPreview"));
    QPushButton *printButton = buttons->addButton(lookupText(m_texts, printText), QDialogButtonBox::ActionRole);
    printButton->setObjectName(QStringLiteral("pairPrint"));
    QPushButton *exportButton = buttons->addButton(lookupText(m_texts, exportPdfText), QDialogButtonBox::ActionRole);
    exportButton->setObjectName(QStringLiteral("pairExport"));
    connect(previewButton, &QPushButton::clicked, this, [this] { preview(false); });
    connect(printButton, &QPushButton::clicked, this, [this] { preview(true); });
    connect(exportButton, &QPushButton::clicked, this, &CDlgFibrePair::exportPdf);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_secondBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            setSecondSlot(m_secondBox->itemData(index).toInt());
    });
    const int best = bestSecondSlot(kind, traces);
    const int index = m_secondBox->findData(best);
    if (index >= 0) {
        m_secondBox->setCurrentIndex(index);
        setSecondSlot(best);
    }
    resize(980, 720);
}

int CDlgFibrePair::bestSecondSlot(PairPageKind kind, const TraceSet &traces)
{
    const int current = traces.currentSlot;
    const TraceData &a = *traces.slots[static_cast<size_t>(current)].trace;
    int fallback = -1;
    for (int i = 0; i < traces.loadedCount && i < TraceSet::slotCount; ++i) {
        const TraceSlot &slot = traces.slots[static_cast<size_t>(i)];
        if (i == current || !slot.loaded || !slot.trace)
            continue;
        if (fallback < 0)
            fallback = i;
        const TraceData &b = *slot.trace;
        const bool sameFibre = a.cableId.trimmed() == b.cableId.trimmed() && a.fiberId.trimmed() == b.fiberId.trimmed();
        const bool swapped = a.locationA.trimmed() == b.locationB.trimmed() && a.locationB.trimmed() == b.locationA.trimmed()
                             && a.locationA.trimmed() != a.locationB.trimmed();
        const bool sameBand = sameWavelength(a.wavelengthNm, b.wavelengthNm);
        if (kind == PairPageKind::Bidirectional ? (sameFibre && swapped && sameBand)
                                                : (sameFibre && !sameBand && a.locationA == b.locationA))
            return i;
    }
    return fallback;
}

void CDlgFibrePair::setSecondSlot(int slot)
{
    m_second = slot;
    refresh();
}

void CDlgFibrePair::refresh()
{
    if (m_second < 0)
        return;
    const TraceSlot &a = m_traces.slots[static_cast<size_t>(m_first)];
    const TraceSlot &b = m_traces.slots[static_cast<size_t>(m_second)];
    m_content = pairPageContent(m_kind, *a.trace, slotFilePath(a), *b.trace, slotFilePath(b), m_env.labels.pair);
    m_problem->setText(m_content.problem);
    m_problem->setVisible(!m_content.problem.isEmpty());
    QStringList totals;
    for (const auto &[label, value] : m_content.totals)
        totals << label + QStringLiteral(": ") + value;
    m_totals->setText(totals.join(QStringLiteral("     ")));
    m_table->clear();
    m_table->setColumnCount(static_cast<int>(m_content.columns.size()));
    m_table->setHorizontalHeaderLabels(m_content.columns);
    m_table->setRowCount(static_cast<int>(m_content.rows.size()));
    for (int r = 0; r < m_table->rowCount(); ++r) {
        const QStringList &row = m_content.rows[static_cast<size_t>(r)];
        for (int k = 0; k < row.size(); ++k) {
            auto *item = new QTableWidgetItem(row[k]);
            item->setTextAlignment(Qt::AlignCenter);
            if (m_content.marked[static_cast<size_t>(r)])
                item->setForeground(QColor(200, 0, 0));
            m_table->setItem(r, k, item);
        }
    }
    m_plot->update();
}

PrintJob CDlgFibrePair::printJob() const
{
    PrintJob job = batchPrintJob(QStringLiteral("0"), {});
    if (m_second >= 0)
        job.pairPages.push_back({m_kind, &m_traces.slots[static_cast<size_t>(m_first)],
                                 &m_traces.slots[static_cast<size_t>(m_second)]});
    return job;
}

void CDlgFibrePair::preview(bool startPrint)
{
    if (m_second < 0)
        return;
    // The preview is modal to the whole program, so the traces it reads stay put until it closes.
    openPrintPreview(this, printJob(), m_env, startPrint, m_texts);
}

void CDlgFibrePair::exportPdf()
{
    if (m_second < 0)
        return;
    QString caption = lookupText(m_texts, exportPdfText);
    if (caption.endsWith(QLatin1String("...")))
        caption.chop(3);
    const TraceSlot &a = m_traces.slots[static_cast<size_t>(m_first)];
    QFileDialog dialog(this, caption, QFileInfo(slotFilePath(a)).absolutePath(), lookupText(m_texts, pdfFilterText));
    dialog.setObjectName(QStringLiteral("pairExportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QFileInfo(a.fileName).completeBaseName() + QStringLiteral("-pair.pdf"));
    if (execDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    exportPdfTo(dialog.selectedFiles().constFirst());
}

bool CDlgFibrePair::exportPdfTo(const QString &path)
{
    if (m_second >= 0 && writeReportPdf(path, printJob(), m_env))
        return true;
    showMessage(this, {windowTitle(), lookupText(m_texts, pdfFailedText), QMessageBox::Warning, QMessageBox::Ok});
    return false;
}
