#pragma once

#include <QFont>
#include <QString>

#include <array>

// Face and point sizes of the report fonts: rows A (title), B (text), C (plot labels),
// D (plot texts), E (verdict); columns are the layout index (1, 2, 4, 6, 8 a page).
struct ReportFontTable {
    QString face = QStringLiteral("Times New Roman");
    std::array<std::array<int, 5>, 5> sizes{{
        {12, 12, 6, 6, 6},
        {12, 10, 6, 5, 5},
        {7, 7, 6, 5, 5},
        {12, 12, 6, 6, 6},
        {24, 20, 18, 16, 12},
    }};
};

// The table as the main window sets it at start: face "宋体", rows A to C resized.
ReportFontTable startupReportFontTable();

// The six fonts of one layout. Title and text fonts are sized in logical page units (screen
// pixels); plot label, plot text and verdict fonts in device pixels, hence the scale factor.
struct ReportFonts {
    QFont title;
    QFont text;
    QFont textBold;
    QFont plotLabel;
    QFont plotText;
    QFont verdict;
};

// `scaleY`: device pixels per screen pixel; `screenDpi`: screen pixels per inch.
ReportFonts reportFonts(const ReportFontTable &table, int tracesPerPage, float scaleY, int screenDpi = 96);
