#include "panels/CDlgAnalysisThresholds.h"

#include "textres/TextIds.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLocale>
#include <QVBoxLayout>

namespace {

struct ValueRow {
    int textId;
    float AnalysisSettings::*value;
    double minimum; // dB
    double maximum; // dB
    double step;    // dB
    const char *name;
};

const ValueRow valueRows[3] = {
    {text::AnalysisLossThreshold, &AnalysisSettings::lossDb, 0.01, 5.0, 0.01, "lossThreshold"},
    {text::AnalysisReflectanceThreshold, &AnalysisSettings::reflectanceDb, -80.0, -10.0, 0.5, "reflectanceThreshold"},
    {text::AnalysisEndThreshold, &AnalysisSettings::endDb, 1.0, 30.0, 0.5, "endThreshold"},
};

} // namespace

CDlgAnalysisThresholds::CDlgAnalysisThresholds(AnalysisSettings &settings, const TextLookup &texts, QWidget *parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("CDlgAnalysisThresholds"));
    setWindowTitle(lookupText(texts, text::AnalysisThresholdsTitle));
    auto *layout = new QVBoxLayout(this);
    m_useFile = new QCheckBox(lookupText(texts, text::AnalysisUseFileThresholds), this);
    m_useFile->setObjectName(QStringLiteral("useFileThresholds"));
    m_useFile->setChecked(settings.useFileThresholds);
    layout->addWidget(m_useFile);
    auto *form = new QFormLayout;
    for (size_t i = 0; i < m_values.size(); ++i) {
        const ValueRow &row = valueRows[i];
        auto *box = new QDoubleSpinBox(this);
        box->setObjectName(QString::fromLatin1(row.name));
        // Thresholds are written with a point, as the files and Config.ini hold them.
        box->setLocale(QLocale::c());
        box->setDecimals(2);
        box->setRange(row.minimum, row.maximum);
        box->setSingleStep(row.step);
        box->setValue(settings.*row.value);
        box->setEnabled(!settings.useFileThresholds);
        form->addRow(lookupText(texts, row.textId), box);
        m_values[i] = box;
    }
    layout->addLayout(form);
    connect(m_useFile, &QCheckBox::toggled, this, [this](bool useFile) {
        for (QDoubleSpinBox *box : m_values)
            box->setEnabled(!useFile);
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CDlgAnalysisThresholds::accept()
{
    m_settings.useFileThresholds = m_useFile->isChecked();
    for (size_t i = 0; i < m_values.size(); ++i)
        m_settings.*valueRows[i].value = static_cast<float>(m_values[i]->value());
    QDialog::accept();
}
