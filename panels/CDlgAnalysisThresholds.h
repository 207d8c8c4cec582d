#pragma once

#include "config/AnalysisSettings.h"
#include "panels/TextLookup.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QDoubleSpinBox;

// Analyze > Analysis thresholds: the file's own thresholds, or a loss, reflectance and end
// threshold of the user's acceptance rules. OK writes them into `settings`; Cancel leaves it.
// The labels come from `texts`.
class CDlgAnalysisThresholds : public QDialog {
    Q_OBJECT
public:
    CDlgAnalysisThresholds(AnalysisSettings &settings, const TextLookup &texts, QWidget *parent = nullptr);

public Q_SLOTS:
    void accept() override;

private:
    AnalysisSettings &m_settings;
    QCheckBox *m_useFile = nullptr;
    std::array<QDoubleSpinBox *, 3> m_values{};
};
