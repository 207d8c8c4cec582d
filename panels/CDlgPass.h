#pragma once

#include "panels/TextLookup.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
struct PassThresholds;

// The pass/fail threshold editor. Opening re-reads the thresholds from Config.ini; Save stores
// the five switches and eleven limits there at once.
class CDlgPass : public QDialog {
    Q_OBJECT
public:
    // Check boxes and edits by identifier, also their objectNames.
    enum : int {
        IdReflection = 1070, IdNonReflection = 1062, IdTotalLoss = 1064, IdReturnLoss = 1066, IdAverage = 1067,
        IdReflectionEdit = 1028, IdNonReflectionEdit = 1063, IdTotalLossEdit = 1065, IdReturnLossEdit = 1068,
        IdAvg850 = 1069, IdAvg1300 = 1071, IdAvg1310 = 1072, IdAvg1490 = 1073, IdAvg1550 = 1074,
        IdAvg1625 = 1075, IdAvg1650 = 1076, IdSave = 1, IdCancel = 2,
    };

    // Edits `thresholds` (the session's passThresholds), read from and saved to `iniPath`; the
    // labels come from `texts`.
    CDlgPass(const QString &iniPath, PassThresholds &thresholds, const TextLookup &texts, QWidget *parent = nullptr);

    // The leading decimal number of a typed text; 0 when it starts with none.
    static float leadingNumber(const QString &text);

public Q_SLOTS:
    void accept() override;

private:
    void fill();

    QString m_iniPath;
    PassThresholds &m_thresholds;
    std::array<QCheckBox *, 5> m_checks{};
    std::array<QLineEdit *, 11> m_edits{};
};
