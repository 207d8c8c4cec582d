#pragma once

#include "panels/TextLookup.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
struct TraceSlot;

// The fibre-information editor for one loaded trace. Save writes the four values into the
// trace and into the trace's own file, leaving every other part of the file as it was.
class CDlgEdit : public QDialog {
    Q_OBJECT
public:
    enum : int {
        IdCableLabel = 1052, IdCable = 1028, IdFiberLabel = 1055, IdFiber = 1050,
        IdTypeLabel = 1053, IdType = 1054, IdOperatorLabel = 1016, IdOperator = 1051,
        IdSave = 1, IdCancel = 2,
    };

    // Edits `slot`; the labels and messages come from `texts`.
    CDlgEdit(TraceSlot &slot, TextLookup texts, QWidget *parent = nullptr);

    // Combo-box item shown for a fibre type code, and the code stored for an item (-1: none).
    static int itemForFiberType(int code);
    static int fiberTypeForItem(int item);

public Q_SLOTS:
    void accept() override;

private:
    TraceSlot &m_slot;
    TextLookup m_texts;
    QLineEdit *m_cable = nullptr;
    QLineEdit *m_fiber = nullptr;
    QComboBox *m_type = nullptr;
    QLineEdit *m_operator = nullptr;
};
