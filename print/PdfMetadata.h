#pragma once

#include "print/PrintJob.h"
#include "print/ReportLabels.h"

#include <QByteArray>
#include <QString>

// What a PDF the program writes says of itself in its document information.
struct PdfMetadata {
    QString title;   // the report kind and the file or folder printed
    QString creator; // the program
    QString author;  // the operator, when a printed trace names one
};

inline constexpr const char *pdfCreator = "Lumidor";

// The metadata of a PDF of `job`. The kind: the power-meter report, the summary (a job that
// starts with one), the bidirectional or two-wavelength report (a job of pair pages alone) or
// the trace report. The name: the power-meter file, the one trace's file
// or, for several traces, their folder. The author: the first operator a printed trace names.
PdfMetadata reportPdfMetadata(const PrintJob &job, const ReportLabels &labels);

// `pdf` with /Author added to its document information dictionary, every cross-reference
// offset after it moved along. Qt's PDF writers set the title and creator but not the author.
// False (and `pdf` unchanged) when the file's structure is not the plain one Qt writes.
bool addPdfAuthor(QByteArray &pdf, const QString &author);

// The same on a file, replaced atomically. True when the author is empty or was added.
bool addPdfAuthorToFile(const QString &path, const QString &author);
