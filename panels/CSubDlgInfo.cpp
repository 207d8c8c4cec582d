#include "panels/CSubDlgInfo.h"

#include "panels/CDropfileList.h"
#include "textres/TextIds.h"
#include "trace/TraceDocument.h"
#include "view/DialogUnits.h"
#include "view/TraceRenderer.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Label id, value id, caption text id and group (0 test conditions, 1 fibre, 2 file).
struct FieldLayout {
    int labelId;
    int valueId;
    int textId;
    int group;
};

constexpr FieldLayout fieldLayouts[] = {
    {1031, CSubDlgInfo::IdWavelength, 203, 0},
    {1032, CSubDlgInfo::IdSampleCount, 204, 0},
    {1033, CSubDlgInfo::IdTestRange, 205, 0},
    {1034, CSubDlgInfo::IdAveragingTime, 206, 0},
    {1035, CSubDlgInfo::IdPulseWidth, 207, 0},
    {1036, CSubDlgInfo::IdRefractiveIndex, 208, 0},
    {1046, CSubDlgInfo::IdOrl, text::OrlLabel, 0},
    {1038, CSubDlgInfo::IdCableId, 210, 1},
    {1040, CSubDlgInfo::IdFiberId, 211, 1},
    {1039, CSubDlgInfo::IdFiberType, 212, 1},
    {1041, CSubDlgInfo::IdOperator, 213, 1},
    {1043, CSubDlgInfo::IdFileName, 215, 2},
    {1044, CSubDlgInfo::IdFileDate, 216, 2},
    {1049, CSubDlgInfo::IdEventsSource, text::EventsSource, 2},
};

constexpr int groupIds[] = {1030, 1037, 1042};
constexpr int groupTextIds[] = {202, 209, 214};

} // namespace

CSubDlgInfo::CSubDlgInfo(const TraceSet &traces, TextLookup texts, QWidget *parent)
    : QWidget(parent), m_traces(traces), m_texts(std::move(texts))
{
    setObjectName(QStringLiteral("infoPanel"));
    // Files dropped anywhere on the panel open as if dropped on its list.
    setAcceptDrops(true);
    buildControls();
    setLabelTexts();
    const DialogUnits du(font());
    resize(du.x(templateWidthDu), du.y(templateHeightDu));
}

CSubDlgInfo::~CSubDlgInfo()
{
}

void CSubDlgInfo::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    std::array<QGridLayout *, 3> grids{};
    for (int g = 0; g < 3; ++g) {
        m_groups[g] = new QGroupBox(this);
        m_groups[g]->setObjectName(QStringLiteral("group%1").arg(groupIds[g]));
        grids[g] = new QGridLayout(m_groups[g]);
        grids[g]->setContentsMargins(6, 4, 6, 4);
        grids[g]->setVerticalSpacing(2);
        grids[g]->setColumnStretch(1, 1);
        layout->addWidget(m_groups[g]);
    }

    int i = 0;
    for (const FieldLayout &field : fieldLayouts) {
        auto *label = new QLabel(m_groups[field.group]);
        label->setObjectName(QStringLiteral("label%1").arg(field.labelId));
        auto *value = new QLabel(m_groups[field.group]);
        value->setObjectName(QStringLiteral("value%1").arg(field.valueId));
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // A long name is clipped by the panel rather than widening it; the tooltip shows it whole.
        value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        QGridLayout *grid = grids[field.group];
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(value, row, 1);
        m_fields[i++] = {field.labelId, field.valueId, field.textId, label, value};
    }

    m_fileListLabel = new QLabel(this);
    m_fileListLabel->setObjectName(QStringLiteral("label1045"));
    layout->addWidget(m_fileListLabel);

    m_fileList = new CDropfileList(this);
    m_fileList->setObjectName(QStringLiteral("list%1").arg(IdFileList));
    m_fileList->setColumnCount(2);
    // The name column takes the rest of the list's width, so no sideways scrolling is needed.
    m_fileList->setColumnWidth(0, 50);
    m_fileList->horizontalHeader()->setStretchLastSection(true);
    m_fileList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_fileList, 1);

    auto *buttons = new QHBoxLayout;
    m_multiTrace = new QCheckBox(this);
    m_multiTrace->setObjectName(QStringLiteral("check%1").arg(IdMultiTrace));
    m_multiTrace->setChecked(true);
    m_remove = new QPushButton(this);
    m_remove->setObjectName(QStringLiteral("button%1").arg(IdRemove));
    m_clear = new QPushButton(this);
    m_clear->setObjectName(QStringLiteral("button%1").arg(IdClear));
    m_edit = new QPushButton(this);
    m_edit->setObjectName(QStringLiteral("button%1").arg(IdEdit));
    for (QPushButton *b : {m_remove, m_clear, m_edit})
        b->setAutoDefault(false);
    layout->addWidget(m_multiTrace);
    buttons->addStretch(1);
    buttons->addWidget(m_remove);
    buttons->addWidget(m_clear);
    buttons->addWidget(m_edit);
    layout->addLayout(buttons);

    connect(m_fileList, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { onCurrentRowChanged(row); });
    connect(m_fileList, &QWidget::customContextMenuRequested, this, &CSubDlgInfo::onContextMenu);
    connect(m_fileList, &CDropfileList::filesDropped, this, &CSubDlgInfo::filesDropped);
    connect(m_multiTrace, &QCheckBox::clicked, this, &CSubDlgInfo::onMultiTraceClicked);
    connect(m_remove, &QPushButton::clicked, this, &CSubDlgInfo::RemoveClicked);
    connect(m_clear, &QPushButton::clicked, this, &CSubDlgInfo::ClearAll);
    connect(m_edit, &QPushButton::clicked, this, &CSubDlgInfo::onEditClicked);
}

void CSubDlgInfo::setLabelTexts()
{
    for (int g = 0; g < 3; ++g)
        m_groups[g]->setTitle(lookupText(m_texts, groupTextIds[g]));
    for (const Field &field : m_fields)
        field.label->setText(lookupText(m_texts, field.textId));
    // One label column width for the three groups, so their values line up.
    int labelWidth = 0;
    for (const Field &field : m_fields)
        labelWidth = std::max(labelWidth, field.label->sizeHint().width());
    for (QGroupBox *group : m_groups) {
        if (auto *grid = qobject_cast<QGridLayout *>(group->layout()))
            grid->setColumnMinimumWidth(0, labelWidth);
    }
    m_fileListLabel->setText(lookupText(m_texts, 217));
    m_multiTrace->setText(lookupText(m_texts, 218));
    m_remove->setText(lookupText(m_texts, 219));
    m_clear->setText(lookupText(m_texts, 220));
    m_edit->setText(lookupText(m_texts, 235));
    m_fileList->setHorizontalHeaderLabels({lookupText(m_texts, 161), lookupText(m_texts, 162)});
}

void CSubDlgInfo::setDistanceUnit(const QString &unit)
{
    m_unit = unit;
    RefreshValues();
}

int CSubDlgInfo::rowCount() const
{
    return m_fileList->rowCount();
}

bool CSubDlgInfo::multiTrace() const
{
    return m_multiTrace->isChecked();
}

QString CSubDlgInfo::valueText(int controlId) const
{
    for (const Field &field : m_fields) {
        if (field.valueId == controlId)
            return field.value->text();
    }
    return QString();
}

void CSubDlgInfo::showValues(const InfoPanelValues &v)
{
    const std::pair<int, const QString *> texts[] = {
        {IdWavelength, &v.wavelength},   {IdSampleCount, &v.sampleCount},
        {IdTestRange, &v.testRange},     {IdAveragingTime, &v.averagingTime},
        {IdPulseWidth, &v.pulseWidth},   {IdRefractiveIndex, &v.refractiveIndex},
        {IdOrl, &v.orl},
        {IdCableId, &v.cableId},         {IdFiberType, &v.fiberType},
        {IdFiberId, &v.fiberId},         {IdOperator, &v.operatorName},
        {IdFileName, &v.fileName},       {IdFileDate, &v.fileDate},
        {IdEventsSource, &v.eventsSource},
    };
    for (const Field &field : m_fields) {
        for (const auto &[id, text] : texts) {
            if (id == field.valueId) {
                field.value->setText(*text);
                field.value->setToolTip(*text);
            }
        }
    }
}

void CSubDlgInfo::RefreshValues()
{
    if (m_traces.loadedCount <= 0) {
        // Nothing loaded: no stale values of a removed trace.
        showValues(InfoPanelValues{});
        return;
    }
    const int slot = m_traces.currentSlot;
    if (slot < 0 || slot >= TraceSet::slotCount || !m_traces.slots[slot].loaded)
        return;
    const TraceSlot &s = m_traces.slots[slot];
    showValues(infoPanelValues(*s.trace, s.fileName, m_unit, m_texts));
}

QIcon CSubDlgInfo::swatchFor(int colourNumber) const
{
    // A 15 x 15 square of the trace colour; black stays transparent, as the swatch mask makes it.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    const uint32_t colour = m_traces.colourFor(colourNumber);
    if ((colour & 0xFFFFFF) != 0) {
        QPainter painter(&pixmap);
        painter.fillRect(QRect(0, 0, 15, 15), bgrColor(colour));
    }
    // The same picture when the row is selected: a tinted swatch would misstate the trace colour.
    QIcon icon;
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}

void CSubDlgInfo::RefreshList()
{
    m_selecting = true;
    m_fileList->setRowCount(0);
    const int loaded = std::min<int>(m_traces.loadedCount, TraceSet::slotCount);
    for (int i = 0; i < loaded; ++i) {
        const TraceSlot &slot = m_traces.slots[i];
        if (!slot.loaded)
            continue;
        const int row = m_fileList->rowCount();
        m_fileList->insertRow(row);
        auto *number = new QTableWidgetItem(swatchFor(i + 1), QString::number(i + 1));
        number->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        auto *name = new QTableWidgetItem(slot.fileName);
        name->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        name->setToolTip(slot.filePath);
        m_fileList->setItem(row, 0, number);
        m_fileList->setItem(row, 1, name);
    }
    if (m_selectedRow >= 0 && m_selectedRow < m_fileList->rowCount())
        m_fileList->setCurrentCell(m_selectedRow, 0);
    m_selecting = false;
}

void CSubDlgInfo::showChange(const DocumentChange &change)
{
    if (change.slots)
        RefreshList();
    if (change.slots || change.current)
        showCurrentRow();
    if (change.slots || change.current || change.info)
        RefreshValues();
}

void CSubDlgInfo::showCurrentRow()
{
    const int row = m_traces.loadedCount > 0 ? m_traces.currentSlot : -1;
    m_clickedRow = row;
    m_selectedRow = row;
    m_selecting = true;
    if (row >= 0 && row < m_fileList->rowCount())
        m_fileList->setCurrentCell(row, 0);
    else
        m_fileList->clearSelection();
    m_selecting = false;
}

void CSubDlgInfo::SelectRow(int row)
{
    if (row < 0 || row >= m_fileList->rowCount())
        return;
    Q_EMIT rowChosen(row);
}

void CSubDlgInfo::onCurrentRowChanged(int row)
{
    if (m_selecting || row < 0)
        return;
    SelectRow(row);
}

void CSubDlgInfo::SelectNextRow()
{
    const int row = nextTraceRow(m_fileList->rowCount(), m_clickedRow);
    if (row >= 0)
        SelectRow(row);
}

void CSubDlgInfo::RemoveClicked()
{
    const int row = m_clickedRow;
    if (row < 0 || row >= m_fileList->rowCount())
        return;
    Q_EMIT removeRequested(row);
}

void CSubDlgInfo::ClearAll()
{
    Q_EMIT clearRequested();
}

void CSubDlgInfo::onContextMenu(const QPoint &pos)
{
    const int row = m_fileList->rowAt(pos.y());
    if (row < 0)
        return;
    m_clickedRow = row;
    const QList<QTableWidgetItem *> selected = m_fileList->selectedItems();
    m_selectedRow = selected.isEmpty() ? row : selected.first()->row();

    QMenu menu(this);
    QAction *remove = menu.addAction(lookupText(m_texts, 219));
    remove->setObjectName(QStringLiteral("menu32816"));
    QAction *clear = menu.addAction(lookupText(m_texts, 220));
    clear->setObjectName(QStringLiteral("menu32817"));
    QAction *chosen = menu.exec(m_fileList->viewport()->mapToGlobal(pos));
    if (chosen == remove)
        RemoveClicked();
    else if (chosen == clear)
        ClearAll();
}

void CSubDlgInfo::dragEnterEvent(QDragEnterEvent *event)
{
    if (CDropfileList::droppedPaths(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void CSubDlgInfo::dropEvent(QDropEvent *event)
{
    const QStringList paths = CDropfileList::droppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(paths);
}

void CSubDlgInfo::onMultiTraceClicked(bool checked)
{
    Q_EMIT multiTraceChanged(checked);
}

void CSubDlgInfo::onEditClicked()
{
    if (m_fileList->rowCount() >= 1)
        Q_EMIT editRequested();
}
