#pragma once

#include "panels/InfoPanelValues.h"
#include "panels/TextLookup.h"

#include <QWidget>

#include <array>

class CDropfileList;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
struct DocumentChange;
struct TraceSet;

// The information panel beside the trace view: test conditions, fibre and file information of
// the current trace, and the list of loaded traces with a colour swatch each. It shows the
// document's slots (row i is slot i) and redraws from them on each change notice (showChange);
// it changes nothing itself: choosing, removing and clearing are requests, signalled to the
// main window, whose commands change the document.
class CSubDlgInfo : public QWidget {
    Q_OBJECT

public:
    // Control identifiers, also the controls' objectNames ("value1005", "label1031", "button1000").
    enum ControlId {
        IdRemove = 1000,
        IdClear = 1001,
        IdWavelength = 1005,
        IdSampleCount = 1006,
        IdTestRange = 1007,
        IdAveragingTime = 1008,
        IdPulseWidth = 1009,
        IdRefractiveIndex = 1010,
        IdCableId = 1013,
        IdFiberType = 1014,
        IdFiberId = 1015,
        IdOperator = 1016,
        IdFileName = 1017,
        IdFileList = 1019,
        IdMultiTrace = 1020,
        IdFileDate = 1021,
        IdEdit = 1022,
        IdOrl = 1023,
        IdEventsSource = 1024,
    };

    static constexpr int templateWidthDu = 225;
    static constexpr int templateHeightDu = 233;

    // `traces` is the document's trace set; it must outlive the panel.
    CSubDlgInfo(const TraceSet &traces, TextLookup texts, QWidget *parent = nullptr);
    ~CSubDlgInfo() override;

    // The distance unit setting ("m", "mi" or "ft") the test range is shown in.
    void setDistanceUnit(const QString &unit);

    // Redraws what a change notice of the document names: the list on `slots`, the current row
    // and the values on `current`, the values on `info`.
    void showChange(const DocumentChange &change);
    // Fills the value fields from the current slot's trace (no change when the current slot is
    // free; empty fields when no trace is loaded).
    void RefreshValues();
    // Rebuilds the list from the loaded slots, with swatches in the trace set's colours 1..8.
    void RefreshList();
    // Shows the current slot's row selected (none while nothing is loaded), signalling nothing.
    void showCurrentRow();
    // Asks for row `row` to become current (rowChosen). A row outside the list (-1 included)
    // does nothing.
    void SelectRow(int row);
    // "Toggle curve": asks for the row after the last selected one, wrapping; needs two rows.
    void SelectNextRow();
    // Asks for the trace of the clicked row to be removed (the "Remove" button and menu item).
    void RemoveClicked();
    // Asks for every trace to be unloaded (the "Delete" button and menu item); no confirmation.
    void ClearAll();

    int clickedRow() const { return m_clickedRow; }
    int selectedRow() const { return m_selectedRow; }
    int rowCount() const;
    bool multiTrace() const;
    CDropfileList *fileList() const { return m_fileList; }
    QString valueText(int controlId) const;

Q_SIGNALS:
    // Row `row` was chosen (clicked, or the next one for "Toggle curve"): it is to become current.
    void rowChosen(int row);
    // The trace of row `row` is to leave the document.
    void removeRequested(int row);
    // Every trace is to leave the document.
    void clearRequested();
    // The multi-trace box was clicked: true shows every curve, false only the current one.
    void multiTraceChanged(bool on);
    // "Edit" with at least one row: open the fibre-information editor for the current trace.
    void editRequested();
    // Files dropped on the list or elsewhere on the panel, full paths in drop order.
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void setLabelTexts();
    void showValues(const InfoPanelValues &values);
    void onCurrentRowChanged(int row);
    void onContextMenu(const QPoint &pos);
    void onMultiTraceClicked(bool checked);
    void onEditClicked();
    QIcon swatchFor(int colourNumber) const;

    const TraceSet &m_traces;
    TextLookup m_texts;
    QString m_unit = QStringLiteral("m");
    int m_clickedRow = -1;
    int m_selectedRow = -1;
    bool m_selecting = false;

    CDropfileList *m_fileList = nullptr;
    QCheckBox *m_multiTrace = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_edit = nullptr;
    std::array<QGroupBox *, 3> m_groups{};
    struct Field {
        int labelId;
        int valueId;
        int textId;
        QLabel *label;
        QLabel *value;
    };
    std::array<Field, 14> m_fields{};
    QLabel *m_fileListLabel = nullptr;
};
