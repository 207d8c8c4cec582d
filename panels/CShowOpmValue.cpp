#include "panels/CShowOpmValue.h"

#include "opm/OpmReader.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum : int { TextPrintPreview = 194, TextOpmCaption = 254 };

// The text of column `column` of a record.
constexpr QString OpmRecord::*columnFields[CShowOpmValue::columnCount] = {
    &OpmRecord::fiberId, &OpmRecord::cableId, &OpmRecord::date,
    &OpmRecord::time,    &OpmRecord::value,   &OpmRecord::operatorName,
};

} // namespace

CShowOpmValue::CShowOpmValue(const QString &path, TextLookup texts, QWidget *parent)
    : QDialog(parent), m_path(path), m_texts(std::move(texts))
{
    setObjectName(QStringLiteral("CShowOpmValue"));
    setWindowTitle(lookupText(m_texts, TextOpmCaption));

    m_list = new QTableWidget(this);
    m_list->setObjectName(QString::number(IdList));
    m_printPreview = new QPushButton(lookupText(m_texts, TextPrintPreview), this);
    m_printPreview->setObjectName(QString::number(IdPrintPreview));
    // Enter belongs to the dialog (it ends it with OK), so the button must not take it.
    m_printPreview->setAutoDefault(false);
    m_printPreview->setDefault(false);
    connect(m_printPreview, &QPushButton::clicked, this, &CShowOpmValue::printPreviewRequested);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_printPreview);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    setUpList();
    fillList();

    int tableWidth = 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width();
    for (int width : columnWidths)
        tableWidth += width;
    const QMargins margins = layout->contentsMargins();
    resize(tableWidth + margins.left() + margins.right(), 480);
}

void CShowOpmValue::setUpList()
{
    m_list->setColumnCount(columnCount);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    QHeaderView *header = m_list->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    for (int c = 0; c < columnCount; ++c) {
        m_list->setHorizontalHeaderItem(c, new QTableWidgetItem(lookupText(m_texts, columnTitleIds[c])));
        header->resizeSection(c, columnWidths[c]);
    }
}

void CShowOpmValue::fillList()
{
    m_records = readOpmFile(m_path).records;
    m_list->setRowCount(static_cast<int>(m_records.size()));
    for (int row = 0; row < m_records.size(); ++row) {
        for (int c = 0; c < columnCount; ++c) {
            auto *item = new QTableWidgetItem(m_records[row].*columnFields[c]);
            item->setTextAlignment(Qt::AlignCenter);
            m_list->setItem(row, c, item);
        }
    }
}

void CShowOpmValue::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The last row comes into view once the table has its size; before that the view would
    // scroll by the height of an unsized widget.
    if (!m_scrolledToLastRow && m_records.size() > 1) {
        m_scrolledToLastRow = true;
        m_list->scrollToItem(m_list->item(m_list->rowCount() - 1, 0));
    }
}

void CShowOpmValue::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
