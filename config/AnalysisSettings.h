#pragma once

#include "config/CCustomIniFile.h"

// The thresholds the program's Analyze trace uses, kept in Config.ini, section Analysis:
// UseFileThresholds (1: each file's own), LossThreshold, ReflectanceThreshold, EndThreshold.
struct AnalysisSettings {
    bool useFileThresholds = true;
    float lossDb = 0.05f;         // dB, smallest loss reported
    float reflectanceDb = -65.0f; // dB, smallest reflectance reported
    float endDb = 3.0f;           // dB, smallest loss that ends the fibre
};

// Unreadable or unusable values (not a number, 0 or below for a loss) keep the defaults; a
// reflectance written as a magnitude (65) is taken as -65 dB.
AnalysisSettings readAnalysisSettings(const CCustomIniFile &ini);
void writeAnalysisSettings(CCustomIniFile &ini, const AnalysisSettings &settings);
// Writes the section into the file at `iniPath` in one rewrite; false when it cannot be written.
bool saveAnalysisSettings(const QString &iniPath, const AnalysisSettings &settings);
