#pragma once

#include "panels/TextLookup.h"
#include "print/PairReportPage.h"
#include "print/PrintJob.h"
#include "print/ReportEnvironment.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QTableWidget;
struct TraceSet;

// Analyze > Bidirectional... and Analyze > Wavelengths...: the current trace and another
// loaded one as one fibre, both curves on one axis, the event table, the totals, and the
// "Bidirectional OTDR report" (or two-wavelength) page to print, preview or export as PDF. The
// window reads the traces and changes nothing.
class CDlgFibrePair : public QDialog {
    Q_OBJECT

public:
    CDlgFibrePair(PairPageKind kind, const TraceSet &traces, ReportEnvironment env, TextLookup texts,
                  QWidget *parent = nullptr);

    // The slot shown with the current one.
    int secondSlot() const { return m_second; }
    void setSecondSlot(int slot);
    const PairPageContent &content() const { return m_content; }

    // The job of the page shown: one pair page.
    PrintJob printJob() const;

    // Writes the page to `path`; false (after the message) when it could not be written.
    bool exportPdfTo(const QString &path);

    // The slot that fits the current trace best: for both directions the same cable, fibre and
    // wavelength with the locations swapped; for two wavelengths the same fibre at another
    // wavelength; else the first other loaded slot. -1 when no other slot is loaded.
    static int bestSecondSlot(PairPageKind kind, const TraceSet &traces);

private:
    void refresh();
    void preview(bool startPrint);
    void exportPdf();

    PairPageKind m_kind;
    const TraceSet &m_traces;
    ReportEnvironment m_env;
    TextLookup m_texts;
    int m_first = 0;
    int m_second = -1;
    PairPageContent m_content;
    QComboBox *m_secondBox = nullptr;
    QWidget *m_plot = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_totals = nullptr;
    QLabel *m_problem = nullptr;
};
