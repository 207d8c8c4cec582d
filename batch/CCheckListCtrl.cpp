#include "batch/CCheckListCtrl.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int boxSize = 13;

void drawBox(QPainter &p, int left, bool ticked)
{
    const QRect box(left, 0, boxSize, boxSize);
    p.fillRect(box.adjusted(1, 1, -1, -1), Qt::white);
    p.setPen(QColor(0x1C, 0x51, 0x80));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    if (!ticked)
        return;
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(QColor(0x21, 0xA1, 0x21), 2.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    const QPointF tick[] = {{left + 3.0, 6.5}, {left + 5.5, 9.0}, {left + 10.0, 3.5}};
    p.drawPolyline(tick, 3);
    p.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

QImage checkBoxImages()
{
    QImage images(3 * boxSize, boxSize, QImage::Format_ARGB32_Premultiplied);
    images.fill(Qt::transparent);
    QPainter p(&images);
    drawBox(p, boxSize, false);
    drawBox(p, 2 * boxSize, true);
    return images;
}

CCheckHeadCtrl::CCheckHeadCtrl(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
    , m_images(checkBoxImages())
{
    setSectionsClickable(true);
    setHighlightSections(false);
}

void CCheckHeadCtrl::setImage(int image)
{
    if (m_image == image)
        return;
    m_image = image;
    viewport()->update();
}

QRect CCheckHeadCtrl::boxRect() const
{
    const int left = sectionViewportPosition(0) + 4;
    return {left, (height() - boxSize) / 2, boxSize, boxSize};
}

void CCheckHeadCtrl::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex != 0)
        return;
    const QRect box(rect.left() + 4, rect.top() + (rect.height() - boxSize) / 2, boxSize, boxSize);
    painter->drawImage(box.topLeft(), m_images, QRect(m_image * boxSize, 0, boxSize, boxSize));
}

CCheckListCtrl::CCheckListCtrl(QWidget *parent)
    : QTableWidget(parent)
    , m_header(new CCheckHeadCtrl(this))
{
    setHorizontalHeader(m_header);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    setWordWrap(false);
    m_header->setStretchLastSection(false);
    connect(m_header, &QHeaderView::sectionClicked, this, [this](int section) {
        if (section == 0)
            HeaderItemClicked();
    });
    connect(this, &QTableWidget::itemChanged, this, &CCheckListCtrl::RowStateChanged);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) { Q_EMIT rowActivated(row); });
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row >= 0 && row != previous)
            Q_EMIT rowActivated(row);
    });
}

void CCheckListCtrl::setColumns(const std::vector<Column> &columns)
{
    setColumnCount(static_cast<int>(columns.size()));
    m_alignments.clear();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        const Column &column = columns[static_cast<size_t>(c)];
        // The first title leaves room for the header box.
        auto *item = new QTableWidgetItem(c == 0 ? QStringLiteral("      ") + column.title : column.title);
        item->setTextAlignment(column.alignment | Qt::AlignVCenter);
        setHorizontalHeaderItem(c, item);
        setColumnWidth(c, column.width);
        m_alignments.push_back(column.alignment);
    }
}

void CCheckListCtrl::addRow(const QStringList &texts)
{
    const int row = rowCount();
    const bool wasBulk = m_bulk;
    m_bulk = true;
    insertRow(row);
    for (int c = 0; c < columnCount(); ++c) {
        auto *item = new QTableWidgetItem(c < texts.size() ? texts[c] : QString());
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | (c == 0 ? Qt::ItemIsUserCheckable : Qt::NoItemFlags));
        if (c == 0)
            item->setCheckState(Qt::Unchecked);
        item->setTextAlignment(m_alignments.value(c, Qt::AlignLeft) | Qt::AlignVCenter);
        setItem(row, c, item);
    }
    m_bulk = wasBulk;
    if (!m_bulk)
        updateHeaderBox();
}

void CCheckListCtrl::addRows(const std::vector<QStringList> &rows)
{
    setUpdatesEnabled(false);
    m_bulk = true;
    for (const QStringList &texts : rows)
        addRow(texts);
    m_bulk = false;
    setUpdatesEnabled(true);
    updateHeaderBox();
}

void CCheckListCtrl::clearRows()
{
    m_bulk = true;
    setRowCount(0);
    m_bulk = false;
    m_header->setImage(1);
}

void CCheckListCtrl::removeRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_bulk = true;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        removeRow(*it);
    m_bulk = false;
    if (rowCount() == 0)
        m_header->setImage(1);
    else
        updateHeaderBox();
}

bool CCheckListCtrl::isChecked(int row) const
{
    const QTableWidgetItem *it = item(row, 0);
    return it && it->checkState() == Qt::Checked;
}

void CCheckListCtrl::setChecked(int row, bool on)
{
    if (QTableWidgetItem *it = item(row, 0))
        it->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void CCheckListCtrl::setAllChecked(bool on)
{
    setUpdatesEnabled(false);
    m_bulk = true;
    for (int r = 0; r < rowCount(); ++r)
        setChecked(r, on);
    m_bulk = false;
    setUpdatesEnabled(true);
    updateHeaderBox();
}

std::vector<int> CCheckListCtrl::checkedRows() const
{
    std::vector<int> rows;
    for (int r = 0; r < rowCount(); ++r)
        if (isChecked(r))
            rows.push_back(r);
    return rows;
}

QString CCheckListCtrl::text(int row, int column) const
{
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void CCheckListCtrl::HeaderItemClicked()
{
    const bool on = m_header->image() != 2;
    m_header->setImage(on ? 2 : 1);
    setAllChecked(on);
}

void CCheckListCtrl::RowStateChanged(QTableWidgetItem *item)
{
    if (m_bulk || !item || item->column() != 0)
        return;
    updateHeaderBox();
}

void CCheckListCtrl::updateHeaderBox()
{
    for (int r = 0; r < rowCount(); ++r) {
        if (!isChecked(r)) {
            m_header->setImage(1);
            return;
        }
    }
    m_header->setImage(2);
}
