#pragma once

#include "print/ReportLabels.h"
#include "trace/LinkSummary.h"

#include <QFont>
#include <QRect>
#include <QStringList>

#include <cstddef>
#include <vector>

class QPainter;

// The link summary as printed pages: a table of one row per file, before the reports.
namespace summarypage {

inline constexpr int rowsPerPage = 30;

// Pages for `rowCount` rows: one for every 30 rows begun, at least one.
int pageCount(size_t rowCount);

// The column headers.
QStringList headerTexts(const SummaryLabels &labels);

// The texts of one row: the file name without its folder, wavelength, pulse width, length,
// events, total loss, largest event loss, worst reflectance, attenuation and the result
// ("PASS", "FAIL", or the labels' texts for incomplete and unreadable). A missing value reads
// "--", as in the event list.
QStringList rowTexts(const LinkSummary &row, const SummaryLabels &labels);

// Draws page `pageNumber` (1 for the first) of the summary of `rows` into `page`, a rectangle
// in the painter's logical coordinates, with the texts of `labels`: the title, the header row in
// `bold`, up to 30 rows in `text` with the result in `bold`, and the page number. A header word
// too wide for its cell gets a smaller font; a row text too wide is set down to three quarters
// of its size, then shortened with an ellipsis that keeps its start and more of its end.
// Returns the number of rows drawn (0 for a page beyond the last).
int drawSummaryPage(QPainter &painter, const QRect &page, const QFont &title, const QFont &text, const QFont &bold,
                    const std::vector<LinkSummary> &rows, int pageNumber, const SummaryLabels &labels);

} // namespace summarypage
