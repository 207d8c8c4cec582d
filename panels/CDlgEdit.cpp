#include "panels/CDlgEdit.h"

#include "panels/MessageBox.h"
#include "textres/TextIds.h"
#include "trace/SorEditing.h"
#include "trace/TraceSet.h"
#include "view/DialogUnits.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace {

QString idName(int id) { return QString::number(id); }

template <typename W>
W *placed(W *w, const DialogUnits &du, int id, QRect rect)
{
    w->setObjectName(idName(id));
    w->setGeometry(du.rect(rect.x(), rect.y(), rect.width(), rect.height()));
    return w;
}

} // namespace

int CDlgEdit::itemForFiberType(int code)
{
    switch (code) {
    case 651: return 0;
    case 653: return 2;
    case 655: return 3;
    default: return 1;
    }
}

int CDlgEdit::fiberTypeForItem(int item)
{
    switch (item) {
    case 0: return 651;
    case 2: return 653;
    case 3: return 655;
    default: return 652; // item 1, or a typed text that is no item
    }
}

CDlgEdit::CDlgEdit(TraceSlot &slot, TextLookup texts, QWidget *parent)
    : QDialog(parent), m_slot(slot), m_texts(std::move(texts))
{
    setObjectName(QStringLiteral("CDlgEdit"));
    setWindowTitle(lookupText(m_texts, text::FiberInformation));
    const DialogUnits du(font());
    setFixedSize(du.x(323), du.y(141));

    const TraceData &t = *slot.trace;
    struct Row {
        int labelId, labelText, fieldId, top;
    };
    const Row rows[] = {
        {IdCableLabel, text::CableNo, IdCable, 14},
        {IdFiberLabel, text::FiberNo, IdFiber, 36},
        {IdTypeLabel, text::FiberType, IdType, 58},
        {IdOperatorLabel, text::Operator, IdOperator, 80},
    };
    for (const Row &r : rows) {
        auto *label = placed(new QLabel(lookupText(m_texts, r.labelText), this), du, r.labelId,
                             QRect(14, r.top + 2, 70, 10));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    m_cable = placed(new QLineEdit(t.cableId, this), du, IdCable, QRect(90, 14, 215, 14));
    m_fiber = placed(new QLineEdit(t.fiberId, this), du, IdFiber, QRect(90, 36, 215, 14));
    m_type = placed(new QComboBox(this), du, IdType, QRect(90, 58, 215, 14));
    m_operator = placed(new QLineEdit(t.operatorName, this), du, IdOperator, QRect(90, 80, 215, 14));

    m_type->setEditable(true);
    m_type->setInsertPolicy(QComboBox::NoInsert);
    m_type->addItems({lookupText(m_texts, text::MultiModeFiber), lookupText(m_texts, text::SinglemodeFiber),
                      lookupText(m_texts, text::DispersionShiftedFiber),
                      lookupText(m_texts, text::NzDispersionShiftedFiber)});
    m_type->setCurrentIndex(itemForFiberType(t.fiberType));

    auto *save = placed(new QPushButton(lookupText(m_texts, text::Save), this), du, IdSave, QRect(160, 112, 60, 16));
    auto *cancel = placed(new QPushButton(lookupText(m_texts, text::Cancel), this), du, IdCancel,
                          QRect(245, 112, 60, 16));
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &CDlgEdit::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlgEdit::reject);
}

void CDlgEdit::accept()
{
    // A file of issue 1 has no place for the fibre type: it is rewritten in the newer layout,
    // which the user agrees to first. Cancel leaves the file and the trace as they were.
    if (sorFileIssue(m_slot.filePath) == 1) {
        const MessageRequest ask{fileCaption, lookupText(m_texts, text::RewriteAsIssue2), QMessageBox::Question,
                                 QMessageBox::Ok | QMessageBox::Cancel};
        if (showMessage(this, ask) != QMessageBox::Ok) {
            QDialog::reject();
            return;
        }
    }
    TraceData &t = *m_slot.trace;
    t.cableId = m_cable->text();
    t.fiberId = m_fiber->text();
    t.operatorName = m_operator->text();
    // The chosen item stands while the box shows its text (the four texts are all empty without
    // the text library); a typed text that matches no item counts as no selection.
    int item = m_type->currentIndex();
    if (item < 0 || m_type->itemText(item) != m_type->currentText())
        item = m_type->findText(m_type->currentText());
    t.fiberType = fiberTypeForItem(item);

    const int result = rewriteFibreInfo(m_slot.filePath, t.cableId, t.fiberId, t.fiberType, t.operatorName);
    // The trace keeps the new texts either way; a file that could not be written is said so.
    if (result != 1)
        reportSaveFailure(this, m_texts);
    QDialog::accept();
}
