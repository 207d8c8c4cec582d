#include "panels/CDlgPass.h"

#include "config/IniText.h"
#include "config/PassThresholds.h"
#include "config/SettingsLocation.h"
#include "panels/MessageBox.h"
#include "textres/TextIds.h"
#include "view/DialogUnits.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <limits>

namespace {

struct LimitRow {
    int editId;
    float PassThresholds::*limit;
    const char *format;
    const char *label; // wavelength label of the attenuation limits, else null
};

const LimitRow limitRows[11] = {
    {CDlgPass::IdReflectionEdit, &PassThresholds::Reflection, "%.2f", nullptr},
    {CDlgPass::IdNonReflectionEdit, &PassThresholds::NonReflection, "%.2f", nullptr},
    {CDlgPass::IdTotalLossEdit, &PassThresholds::TotalLoss, "%.1f", nullptr},
    {CDlgPass::IdReturnLossEdit, &PassThresholds::ReturnLoss, "%.1f", nullptr},
    {CDlgPass::IdAvg850, &PassThresholds::AvgLoss850, "%.3f", "850nm"},
    {CDlgPass::IdAvg1300, &PassThresholds::AvgLoss1300, "%.3f", "1300nm"},
    {CDlgPass::IdAvg1310, &PassThresholds::AvgLoss1310, "%.3f", "1310nm"},
    {CDlgPass::IdAvg1490, &PassThresholds::AvgLoss1490, "%.3f", "1490nm"},
    {CDlgPass::IdAvg1550, &PassThresholds::AvgLoss1550, "%.3f", "1550nm"},
    {CDlgPass::IdAvg1625, &PassThresholds::AvgLoss1625, "%.3f", "1625nm"},
    {CDlgPass::IdAvg1650, &PassThresholds::AvgLoss1650, "%.3f", "1650nm"},
};

struct SwitchRow {
    int checkId;
    int textId;
    bool PassThresholds::*on;
};

const SwitchRow switchRows[5] = {
    {CDlgPass::IdReflection, text::PassReflection, &PassThresholds::IncludeReflection},
    {CDlgPass::IdNonReflection, text::PassNonReflection, &PassThresholds::IncludeNonReflection},
    {CDlgPass::IdTotalLoss, text::PassTotalLoss, &PassThresholds::IncludeTotalLoss},
    {CDlgPass::IdReturnLoss, text::PassReturnLoss, &PassThresholds::IncludeReturnLoss},
    {CDlgPass::IdAverage, text::PassAverage, &PassThresholds::IncludeAvg},
};

} // namespace

float CDlgPass::leadingNumber(const QString &text)
{
    // The same reading as the thresholds in Config.ini: decimal digits only (no "inf", "nan" or
    // hexadecimal forms) and a point as the decimal mark whatever the desktop's locale.
    const double value = initext::leadingDouble(text);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return 0.0f;
    return static_cast<float>(value);
}

CDlgPass::CDlgPass(const QString &iniPath, PassThresholds &thresholds, const TextLookup &texts, QWidget *parent)
    : QDialog(parent), m_iniPath(iniPath), m_thresholds(thresholds)
{
    setObjectName(QStringLiteral("CDlgPass"));
    setWindowTitle(lookupText(texts, text::PassTitle));
    const DialogUnits du(font());
    setFixedSize(du.x(195), du.y(291));

    // Four single limits beside their check boxes, then the attenuation check box with one
    // edit per wavelength below it.
    int top = 10;
    for (int i = 0; i < 5; ++i) {
        auto *check = new QCheckBox(lookupText(texts, switchRows[i].textId), this);
        check->setObjectName(QString::number(switchRows[i].checkId));
        check->setGeometry(du.rect(10, top, i < 4 ? 100 : 175, 12));
        m_checks[static_cast<size_t>(i)] = check;
        const int first = i < 4 ? i : 4;
        const int last = i < 4 ? i : 10;
        if (i == 4)
            top += 16;
        for (int e = first; e <= last; ++e) {
            const LimitRow &row = limitRows[e];
            if (row.label) {
                auto *label = new QLabel(QString::fromLatin1(row.label), this);
                label->setGeometry(du.rect(24, top + 2, 40, 10));
            }
            auto *edit = new QLineEdit(this);
            edit->setObjectName(QString::number(row.editId));
            edit->setGeometry(du.rect(row.label ? 70 : 112, top, row.label ? 70 : 48, 13));
            m_edits[static_cast<size_t>(e)] = edit;
            auto *unit = new QLabel(row.label ? QStringLiteral("dB/km") : QStringLiteral("dB"), this);
            unit->setGeometry(du.rect(row.label ? 146 : 164, top + 2, 30, 10));
            top += 17;
        }
        if (i == 3)
            top += 8;
    }
    auto *save = new QPushButton(lookupText(texts, text::Save), this);
    save->setObjectName(QString::number(IdSave));
    save->setGeometry(du.rect(30, 267, 60, 16));
    save->setDefault(true);
    auto *cancel = new QPushButton(lookupText(texts, text::Cancel), this);
    cancel->setObjectName(QString::number(IdCancel));
    cancel->setGeometry(du.rect(105, 267, 60, 16));
    connect(save, &QPushButton::clicked, this, &CDlgPass::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlgPass::reject);

    ReadPassThresholds(settingsReadPath(m_iniPath), m_thresholds);
    fill();
}

void CDlgPass::fill()
{
    const PassThresholds &t = m_thresholds;
    for (int i = 0; i < 5; ++i)
        m_checks[static_cast<size_t>(i)]->setChecked(t.*(switchRows[i].on));
    for (int e = 0; e < 11; ++e)
        m_edits[static_cast<size_t>(e)]->setText(
            QString::asprintf(limitRows[e].format, static_cast<double>(t.*(limitRows[e].limit))));
}

void CDlgPass::accept()
{
    PassThresholds &t = m_thresholds;
    for (int i = 0; i < 5; ++i)
        t.*(switchRows[i].on) = m_checks[static_cast<size_t>(i)]->isChecked();
    for (int e = 0; e < 11; ++e)
        t.*(limitRows[e].limit) = leadingNumber(m_edits[static_cast<size_t>(e)]->text());
    const QString target = settingsWritePath(m_iniPath);
    if (!SavePassThresholds(target, m_thresholds)) {
        showMessage(this, {tipsCaption, QStringLiteral("The thresholds could not be written to %1.").arg(target.isEmpty() ? m_iniPath : target),
                           QMessageBox::Warning, QMessageBox::Ok});
        return;
    }
    QDialog::accept();
}
