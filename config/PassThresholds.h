#pragma once

#include <QString>

class CCustomIniFile;

#include <cstdint>

// The pass/fail thresholds, one member per key of the PassThrd section of Config.ini.
struct PassThresholds {
    bool IncludeReflection = true;
    bool IncludeNonReflection = true;
    bool IncludeTotalLoss = true;
    bool IncludeReturnLoss = true;
    bool IncludeAvg = true;

    float Reflection = 0.5f;    // dB, loss limit of a reflective event
    float NonReflection = 0.2f; // dB, loss limit of a non-reflective event
    float TotalLoss = 20.0f;    // dB
    float ReturnLoss = -40.0f;  // dB, reflectance limit
    float AvgLoss850 = 3.0f;    // dB/km
    float AvgLoss1300 = 0.8f;   // dB/km
    float AvgLoss1310 = 0.4f;   // dB/km
    float AvgLoss1490 = 0.3f;   // dB/km
    float AvgLoss1550 = 0.3f;   // dB/km
    float AvgLoss1625 = 0.3f;   // dB/km
    float AvgLoss1650 = 0.3f;   // dB/km
};

// Reads the sixteen PassThrd keys from `ini` (the copy of Config.ini read at start). Switches
// are on unless "0"; a limit below its bound (0.01 dB for event losses, 0.1 for total loss and
// attenuation, above -0.1 for return loss) takes its default. At most 259 characters of a value
// count.
void ReadPassThresholds(const CCustomIniFile &ini, PassThresholds &thresholds);
// The same from the file at `iniPath`, read from disk once.
void ReadPassThresholds(const QString &iniPath, PassThresholds &thresholds);

// Writes the sixteen keys in one atomic rewrite, creating the file when missing. False when the
// file could not be written; it is then unchanged.
bool SavePassThresholds(const QString &iniPath, const PassThresholds &thresholds);

// The attenuation limit for a wavelength in nm; 1550 nm's for any wavelength not listed.
float attenuationLimit(const PassThresholds &thresholds, int32_t wavelengthNm);
