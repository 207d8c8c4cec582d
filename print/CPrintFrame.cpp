#include "print/CPrintFrame.h"

#include "config/AtomicWrite.h"
#include "print/PdfMetadata.h"
#include "print/ReportRenderer.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

PreviewTexts previewTexts(const TextLookup &text)
{
    PreviewTexts t;
    t.caption = text(228);
    t.print = text(229);
    t.nextPage = text(301);
    t.previousPage = text(302);
    t.onePage = text(303);
    t.twoPages = text(304);
    t.zoomIn = text(305);
    t.zoomOut = text(306);
    t.close = text(307);
    t.exportPdf = text(308);
    t.pdfFilter = text(309);
    t.pdfFailed = text(310);
    t.tips = text(125);
    t.preparing = text(311);
    return t;
}

CPrintFrame::CPrintFrame(QWidget *owner, PrintJob job, ReportEnvironment env, PreviewTexts texts)
    : QMainWindow(nullptr), owner_(owner), job_(std::move(job)), env_(std::move(env)), texts_(std::move(texts)),
      previewPrinter_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("CPrintFrame"));
    setWindowTitle(texts_.caption);
    if (owner)
        setWindowIcon(owner->windowIcon());
    setUpPrinter(*previewPrinter_);
    previewPrinter_->setResolution(600);

    preview_ = new QPrintPreviewWidget(previewPrinter_.get(), this);
    preview_->setObjectName(QStringLiteral("previewWidget"));
    setCentralWidget(preview_);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, &CPrintFrame::paintPages);
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, &CPrintFrame::updateActions);

    QToolBar *bar = addToolBar(texts_.caption);
    bar->setObjectName(QStringLiteral("previewToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto add = [&](const QString &label, QStyle::StandardPixmap icon, const QKeySequence &key, auto slot) {
        QAction *action = bar->addAction(style()->standardIcon(icon), label);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(texts_.print, QStyle::SP_FileDialogDetailedView, QKeySequence::Print, &CPrintFrame::print);
    next_ = add(texts_.nextPage, QStyle::SP_ArrowRight, QKeySequence(Qt::Key_PageDown),
                [this] { preview_->setCurrentPage(preview_->currentPage() + 1); updateActions(); });
    previous_ = add(texts_.previousPage, QStyle::SP_ArrowLeft, QKeySequence(Qt::Key_PageUp),
                    [this] { preview_->setCurrentPage(preview_->currentPage() - 1); updateActions(); });
    add(texts_.onePage, QStyle::SP_FileIcon, QKeySequence(), [this] { preview_->setSinglePageViewMode(); });
    add(texts_.twoPages, QStyle::SP_FileDialogListView, QKeySequence(), [this] { preview_->setFacingPagesViewMode(); });
    add(texts_.zoomIn, QStyle::SP_ArrowUp, QKeySequence::ZoomIn, [this] { preview_->zoomIn(); });
    add(texts_.zoomOut, QStyle::SP_ArrowDown, QKeySequence::ZoomOut, [this] { preview_->zoomOut(); });
    add(texts_.close, QStyle::SP_DialogCloseButton, QKeySequence(Qt::Key_Escape), &CPrintFrame::close);
    bar->addSeparator();
    QAction *pdf = add(texts_.exportPdf, QStyle::SP_DialogSaveButton, QKeySequence(), &CPrintFrame::exportPdfWithDialog);
    pdf->setObjectName(QStringLiteral("exportPdf"));

    resize(800, 600);
}

CPrintFrame::~CPrintFrame() = default;

void CPrintFrame::setUpPrinter(QPrinter &printer) const
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), pageOrientation(job_.printType),
                                      QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
}

void CPrintFrame::updateActions()
{
    const int page = preview_->currentPage();
    next_->setEnabled(page < preview_->pageCount());
    previous_->setEnabled(page > 1);
}

bool CPrintFrame::paintWithProgress(QPainter &painter, QPagedPaintDevice &device)
{
    const int pages = pageCount(job_);
    std::unique_ptr<QProgressDialog> progress;
    if (pages > 1 && isVisible()) {
        progress = std::make_unique<QProgressDialog>(texts_.preparing, texts_.close, 0, pages, this);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
    }
    return drawReportPages(painter, device, job_, env_, [&](int page, int) {
        if (!progress)
            return true;
        progress->setValue(page);
        return !progress->wasCanceled();
    });
}

void CPrintFrame::paintPages(QPrinter *printer)
{
    QPainter painter;
    if (!painter.begin(printer))
        return;
    paintWithProgress(painter, *printer);
    painter.end();
}

void CPrintFrame::print()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    paintPages(&printer);
}

bool CPrintFrame::exportPdf(const QString &path)
{
    // Written beside the target and renamed into place: a cancelled or failed export leaves an
    // existing file as it was.
    const PdfMetadata meta = reportPdfMetadata(job_, env_.labels);
    const bool ok = writeThroughTemporaryFile(path, [this, &meta](const QString &temporaryPath) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(temporaryPath);
        printer.setResolution(600);
        setUpPrinter(printer);
        printer.setDocName(meta.title);
        printer.setCreator(meta.creator);
        QPainter painter;
        const bool painted = painter.begin(&printer) && paintWithProgress(painter, printer) && painter.end();
        if (painter.isActive())
            painter.end();
        return painted && addPdfAuthorToFile(temporaryPath, meta.author);
    });
    if (!ok) {
        QMessageBox::warning(this, texts_.tips, texts_.pdfFailed);
        return false;
    }
    return true;
}

void CPrintFrame::exportPdfWithDialog()
{
    QString path = QFileDialog::getSaveFileName(this, texts_.exportPdf, QString(), texts_.pdfFilter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    exportPdf(path);
}

void CPrintFrame::closeEvent(QCloseEvent *event)
{
    if (owner_) {
        owner_->show();
        owner_->raise();
        owner_->activateWindow();
    }
    Q_EMIT closedToOwner();
    event->accept();
}

CPrintFrame *openPrintPreview(QWidget *owner, const PrintJob &job, const ReportEnvironment &env, bool startPrint,
                              const TextLookup &text)
{
    auto *frame = new CPrintFrame(owner, job, env, previewTexts(text));
    // Also fills the screen where no window manager maximises it.
    if (const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        frame->setGeometry(screen->availableGeometry());
    // The job reads the owner's traces: the owner waits until the preview closes. Modal to the
    // whole program, so a preview also works over a modal owner such as the power-meter viewer.
    frame->setWindowModality(Qt::ApplicationModal);
    frame->showMaximized();
    if (owner)
        owner->show();
    if (startPrint)
        QTimer::singleShot(0, frame, &CPrintFrame::print);
    return frame;
}
