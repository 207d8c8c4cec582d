#pragma once

#include "panels/TextLookup.h"

#include <QString>

#include <array>

// Fixed labels of the printed trace report, loaded from the text library at start.
struct ReportLabels {
    QString title, taskBox, fileName, testDate, operatorName, eventBox, configurationBox;
    QString startLocation, startCable, startFiber, direction, endLocation;
    QString wavelength, refractiveIndex, pulseWidth, testRange, averageTime, backscatter;
    QString lossThreshold, reflectionThreshold, endThreshold, traceBox, abBox;
    QString abDistance, abLoss, abSlope;
    // Loaded with the others though no report prints them.
    QString taskNo, contractor, user, comment, startColour, endPoint, endCable, endFiber, endColour;
    QString startLocationValue;
};

// Face and point sizes of the report fonts: rows A..E (title, text, plot label, plot text,
// verdict), columns by page layout (1, 2, 4, 6, 8 traces per page).
struct ReportFontTable {
    QString face = QStringLiteral("Times New Roman");
    std::array<std::array<int, 5>, 5> points{{
        {12, 12, 6, 6, 6},
        {12, 10, 6, 5, 5},
        {7, 7, 6, 5, 5},
        {12, 12, 6, 6, 6},
        {24, 20, 18, 16, 12},
    }};
};

ReportLabels &reportLabels();
ReportFontTable &reportFontTable();

// The start-up step: labels from the text library, the font table set to its screen values.
void loadReportSetup(const TextLookup &texts);
