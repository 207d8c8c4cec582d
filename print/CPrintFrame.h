#pragma once

#include "print/PrintJob.h"
#include "print/ReportEnvironment.h"
#include "print/ReportLabels.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QPrintPreviewWidget;

// Texts of the preview window, by text identifier.
struct PreviewTexts {
    QString caption;      // "Print preview"
    QString print;
    QString nextPage;
    QString previousPage;
    QString onePage;
    QString twoPages;
    QString zoomIn;
    QString zoomOut;
    QString close;
    QString exportPdf;
    QString pdfFilter;
    QString pdfFailed;
    QString tips;
    QString preparing;
};
PreviewTexts previewTexts(const TextLookup &text);

// The print-preview window: a maximised top-level window showing the job's pages with the
// standard preview tool bar and "Export PDF...". Printing keeps the preview open; closing
// shows the owner again and deletes the window.
class CPrintFrame : public QMainWindow {
    Q_OBJECT
public:
    CPrintFrame(QWidget *owner, PrintJob job, ReportEnvironment env, PreviewTexts texts);
    ~CPrintFrame() override;

    QPrintPreviewWidget *previewWidget() const { return preview_; }
    QPrinter &previewPrinter() { return *previewPrinter_; }
    const PrintJob &job() const { return job_; }
    QWidget *owner() const { return owner_; }

    // Print dialog, then every page to the chosen printer.
    void print();
    // Writes the pages to `path`; false (after telling the user) when it could not be written.
    bool exportPdf(const QString &path);
    // Save dialog, then exportPdf.
    void exportPdfWithDialog();

Q_SIGNALS:
    void closedToOwner();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void paintPages(QPrinter *printer);
    bool paintWithProgress(QPainter &painter, QPagedPaintDevice &device);
    void setUpPrinter(QPrinter &printer) const;
    void updateActions();

    QPointer<QWidget> owner_;
    PrintJob job_;
    ReportEnvironment env_;
    PreviewTexts texts_;
    std::unique_ptr<QPrinter> previewPrinter_;
    QPrintPreviewWidget *preview_ = nullptr;
    QAction *next_ = nullptr;
    QAction *previous_ = nullptr;
};

// Opens a new preview of `job` for `owner` (main window, batch dialog or power-meter viewer);
// with `startPrint` the print dialog follows at once. The window deletes itself when closed.
CPrintFrame *openPrintPreview(QWidget *owner, const PrintJob &job, const ReportEnvironment &env, bool startPrint,
                              const TextLookup &text);
