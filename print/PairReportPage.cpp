#include "print/PairReportPage.h"

#include "trace/FibreTables.h"
#include "trace/TraceData.h"
#include "trace/TraceSet.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

FibreTrace pairingView(const TraceData &trace, const QString &name)
{
    return fibreTrace(summarizeTrace(name, trace, PassThresholds{}), trace);
}

QString dbText(std::optional<double> v)
{
    const QString t = fixedDecimals(v, 3);
    return t.isEmpty() ? QStringLiteral("--") : t;
}

QString kmText(double metres)
{
    return fixedDecimals(metres / 1000.0, 3) + QStringLiteral(" km");
}

QString identityValue(const QString &a, const QString &b)
{
    const QString x = a.trimmed();
    const QString y = b.trimmed();
    if (x == y || y.isEmpty())
        return x;
    if (x.isEmpty())
        return y;
    return x + QStringLiteral(" / ") + y;
}

QString fileLine(const QString &name, const TraceData &t)
{
    QString line = QFileInfo(name).fileName();
    if (!t.locationA.trimmed().isEmpty() || !t.locationB.trimmed().isEmpty())
        line += QStringLiteral("  (%1 -> %2)").arg(t.locationA.trimmed(), t.locationB.trimmed());
    return line;
}

} // namespace

PairPageContent pairPageContent(PairPageKind kind, const TraceData &first, const QString &firstName,
                                const TraceData &second, const QString &secondName, const PairLabels &labels)
{
    PairPageContent c;
    c.kind = kind;
    const FibreTrace a = pairingView(first, firstName);
    const FibreTrace b = pairingView(second, secondName);
    c.firstLengthM = a.lengthM;
    c.secondLengthM = b.lengthM;
    c.identity.push_back({labels.cable, identityValue(first.cableId, second.cableId)});
    c.identity.push_back({labels.fibre, identityValue(first.fiberId, second.fiberId)});

    if (kind == PairPageKind::Bidirectional) {
        c.title = labels.bidirTitle;
        c.identity.push_back({labels.wavelength, QStringLiteral("%1 nm").arg(first.wavelengthNm)});
        c.identity.push_back({QStringLiteral("A->B"), fileLine(firstName, first)});
        c.identity.push_back({QStringLiteral("B->A"), fileLine(secondName, second)});
        c.bidir = pairDirections(a, b);
        c.spanM = std::max(a.lengthM, b.lengthM) * 1.05;
        if (c.bidir.refusal != PairRefusal::None) {
            c.refused = true;
            c.problem = labels.differentWavelengths;
            return c;
        }
        if (c.bidir.warnings.pulseWidth || c.bidir.warnings.groupIndex)
            c.problem = labels.doubtful;
        c.totals = {{labels.fibreLength, kmText(c.bidir.fibreLengthM)},
                    {labels.totalAb, dbText(c.bidir.totalLossAbDb) + QStringLiteral(" dB")},
                    {labels.totalBa, dbText(c.bidir.totalLossBaDb) + QStringLiteral(" dB")},
                    {labels.meanTotal, dbText(c.bidir.totalLossDb) + QStringLiteral(" dB")}};
        c.columns = {QStringLiteral("#"), labels.distance, labels.lossAb, labels.lossBa, labels.meanLoss,
                     labels.reflectance, labels.seen};
        for (size_t i = 0; i < c.bidir.events.size(); ++i) {
            const BidirEvent &e = c.bidir.events[i];
            const int seen = e.seen == Seen::Both ? 0 : (e.seen == Seen::First ? 1 : 2);
            c.rows.push_back({QString::number(i + 1), fixedDecimals(e.distanceM / 1000.0, 3), dbText(e.lossAbDb),
                              dbText(e.lossBaDb), dbText(e.lossDb), dbText(e.reflectanceDb), labels.seenWords[seen]});
            c.marked.push_back(false);
            c.eventDistancesM.push_back(e.distanceM);
        }
        return c;
    }

    c.title = labels.wavelengthTitle;
    c.wavelengths = compareWavelengths(a, b);
    c.spanM = std::max(a.lengthM, b.lengthM) * 1.05;
    const bool swapped = c.wavelengths.swapped;
    const TraceData &s = swapped ? second : first;
    const TraceData &l = swapped ? first : second;
    c.identity.push_back({QStringLiteral("%1 nm").arg(s.wavelengthNm), fileLine(swapped ? secondName : firstName, s)});
    c.identity.push_back({QStringLiteral("%1 nm").arg(l.wavelengthNm), fileLine(swapped ? firstName : secondName, l)});
    if (c.wavelengths.refusal != PairRefusal::None) {
        c.refused = true;
        c.problem = labels.sameWavelength;
        return c;
    }
    const FibreTrace &fs = swapped ? b : a;
    const FibreTrace &fl = swapped ? a : b;
    c.totals = {{labels.fibreLength, kmText(std::max(fs.lengthM, fl.lengthM))},
                {labels.totalLoss + QStringLiteral(" %1 nm").arg(s.wavelengthNm), dbText(fs.totalLossDb) + QStringLiteral(" dB")},
                {labels.totalLoss + QStringLiteral(" %1 nm").arg(l.wavelengthNm), dbText(fl.totalLossDb) + QStringLiteral(" dB")},
                {labels.macrobend, QString::number(c.wavelengths.bends)}};
    c.columns = {QStringLiteral("#"), labels.distance, labels.lossAt.arg(s.wavelengthNm), labels.lossAt.arg(l.wavelengthNm),
                 labels.difference, QString()};
    for (size_t i = 0; i < c.wavelengths.events.size(); ++i) {
        const WavelengthEvent &e = c.wavelengths.events[i];
        c.rows.push_back({QString::number(i + 1), fixedDecimals(e.distanceM / 1000.0, 3), dbText(e.lossShortDb),
                          dbText(e.lossLongDb), dbText(e.differenceDb), e.macrobend ? labels.macrobend : QString()});
        c.marked.push_back(e.macrobend);
        c.eventDistancesM.push_back(e.distanceM);
    }
    return c;
}

std::vector<QPointF> pairCurvePoints(const PairCurve &curve, double spanM, double lowDb, double highDb, const QRectF &plot,
                                     double columnsPerUnit)
{
    std::vector<QPointF> points;
    if (!curve.trace || spanM <= 0.0 || highDb <= lowDb)
        return points;
    const TraceData &t = *curve.trace;
    const size_t n = std::min<size_t>(t.sampleCount, t.samples.size());
    const double spacing = static_cast<double>(t.sampleSpacing);
    if (n == 0 || !(spacing > 0.0))
        return points;
    const double length = curve.lengthM;
    const double xScale = plot.width() / spanM;
    const double yScale = plot.height() / (highDb - lowDb);
    const double perUnit = std::max(columnsPerUnit, 1e-6);
    long currentColumn = std::numeric_limits<long>::min();
    QPointF first, low, high, last;
    int inColumn = 0;
    const auto flush = [&] {
        if (inColumn == 0)
            return;
        points.push_back(first);
        if (inColumn > 1) {
            points.push_back(low.x() <= high.x() ? low : high);
            points.push_back(low.x() <= high.x() ? high : low);
            points.push_back(last);
        }
    };
    for (size_t i = 0; i < n; ++i) {
        const size_t k = curve.reversed ? n - 1 - i : i;
        const double d = static_cast<double>(sampleDistance(static_cast<int64_t>(k), t.sampleSpacing));
        const double x = curve.reversed ? length - d : d;
        if (x < 0.0 || x > spanM)
            continue;
        const double level = std::clamp(levelDb(t.samples[k]), lowDb - 1.0, highDb + 1.0);
        const QPointF pt(plot.left() + x * xScale, plot.bottom() - (level - lowDb) * yScale);
        const long column = static_cast<long>(std::floor(pt.x() * perUnit));
        if (column != currentColumn) {
            flush();
            currentColumn = column;
            first = low = high = last = pt;
            inColumn = 1;
            continue;
        }
        // Screen y grows downwards: the lowest level has the largest y.
        if (pt.y() > low.y())
            low = pt;
        if (pt.y() < high.y())
            high = pt;
        last = pt;
        ++inColumn;
    }
    flush();
    return points;
}

std::pair<double, double> pairLevelRange(const std::vector<PairCurve> &curves, double spanM)
{
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    for (const PairCurve &c : curves) {
        if (!c.trace)
            continue;
        const TraceData &t = *c.trace;
        const size_t n = std::min<size_t>(t.sampleCount, t.samples.size());
        const double length = std::min(c.lengthM, spanM);
        for (size_t k = 0; k < n; ++k) {
            const double d = static_cast<double>(sampleDistance(static_cast<int64_t>(k), t.sampleSpacing));
            if (d > length)
                break;
            const double level = levelDb(t.samples[k]);
            low = std::min(low, level);
            high = std::max(high, level);
        }
    }
    if (low > high)
        return {0.0, 50.0};
    // The backscatter, not the noise below it, decides the floor: a little under the lowest
    // level over the fibre.
    const double bottom = std::floor((low - 2.0) / 5.0) * 5.0;
    double top = std::ceil((high + 1.0) / 5.0) * 5.0;
    if (top - bottom < 10.0)
        top = bottom + 10.0;
    return {std::max(0.0, bottom), top};
}

void drawPairPlot(QPainter &p, const QRectF &area, const std::vector<PairCurve> &curves, const PairPageContent &content,
                  const QFont &font, double columnsPerUnit)
{
    p.save();
    p.setFont(font);
    const QFontMetricsF fm(font);
    const double lineH = fm.height();
    const QRectF plot(area.left() + fm.horizontalAdvance(QStringLiteral("50.0 ")), area.top() + lineH * 1.2,
                      area.width() - fm.horizontalAdvance(QStringLiteral("50.0 ")) - fm.horizontalAdvance(QStringLiteral("0")),
                      area.height() - lineH * 2.7);
    const double span = content.spanM > 0.0 ? content.spanM : 1000.0;
    const auto [low, high] = pairLevelRange(curves, span);

    // Grid and axis labels: ten divisions across, 5 dB steps up.
    p.setPen(QPen(QColor(160, 160, 160), 0, Qt::DotLine));
    for (int i = 1; i < 10; ++i) {
        const double x = plot.left() + plot.width() * i / 10.0;
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    for (double level = low + 5.0; level < high; level += 5.0) {
        const double y = plot.bottom() - (level - low) / (high - low) * plot.height();
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    p.setPen(QPen(Qt::black, 0));
    const int decimals = span < 2000.0 ? 3 : 1;
    for (int i = 0; i <= 10; i += 2) {
        const double x = plot.left() + plot.width() * i / 10.0;
        QString text = QString::number(span * i / 10.0 / 1000.0, 'f', decimals);
        if (i == 10)
            text += QStringLiteral(" km");
        const double w = fm.horizontalAdvance(text);
        p.drawText(QPointF(std::min(x - w / 2.0, plot.right() - w), plot.bottom() + lineH), text);
    }
    for (double level = low; level <= high + 1e-9; level += 5.0) {
        const double y = plot.bottom() - (level - low) / (high - low) * plot.height();
        const QString text = QString::number(level, 'f', 1);
        p.drawText(QPointF(plot.left() - fm.horizontalAdvance(text + QLatin1Char(' ')), y + fm.ascent() / 2.0), text);
    }
    p.drawText(QPointF(area.left(), area.top() + fm.ascent()), QStringLiteral("dB"));

    p.save();
    p.setClipRect(plot);
    for (const PairCurve &c : curves) {
        const std::vector<QPointF> points = pairCurvePoints(c, span, low, high, plot, columnsPerUnit);
        p.setPen(QPen(c.colour, 0));
        p.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    p.restore();

    // Event marks along the top, numbered as the table.
    for (size_t i = 0; i < content.eventDistancesM.size(); ++i) {
        const double x = plot.left() + content.eventDistancesM[i] / span * plot.width();
        const bool marked = i < content.marked.size() && content.marked[i];
        p.setPen(QPen(marked ? QColor(220, 0, 0) : QColor(110, 110, 110), 0, marked ? Qt::SolidLine : Qt::DashLine));
        p.drawLine(QPointF(x, plot.top() + lineH), QPointF(x, plot.bottom()));
        p.drawText(QPointF(x + 2.0, plot.top() + lineH * 0.9), QString::number(i + 1));
    }
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.restore();
}

void drawPairPage(QPainter &p, const QRectF &page, const PairPage &pairPage, const PairLabels &labels,
                  const QFont &titleFont, const QFont &textFont, const QFont &boldFont, const QString &printTime,
                  double columnsPerUnit)
{
    if (!pairPage.first || !pairPage.second || !pairPage.first->loaded || !pairPage.second->loaded
        || !pairPage.first->trace || !pairPage.second->trace)
        return;
    const TraceData &first = *pairPage.first->trace;
    const TraceData &second = *pairPage.second->trace;
    const PairPageContent c = pairPageContent(pairPage.kind, first, slotFilePath(*pairPage.first), second,
                                              slotFilePath(*pairPage.second), labels);
    p.save();
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    const QFontMetricsF fm(textFont);
    const double line = fm.height() * 1.35;
    const double margin = fm.height();
    const QRectF content = page.adjusted(margin, margin, -margin, -margin);
    double y = content.top();

    p.setFont(titleFont);
    const QFontMetricsF tm(titleFont);
    p.drawText(QRectF(content.left(), y, content.width(), tm.height() * 1.6), Qt::AlignCenter, c.title);
    y += tm.height() * 1.6;
    p.setFont(textFont);
    p.drawText(QRectF(content.left(), y, content.width(), line), Qt::AlignRight | Qt::AlignVCenter, printTime);
    y += line;

    // Identity: two label columns.
    double labelWidth = 0.0;
    for (const auto &[label, value] : c.identity)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(label + QStringLiteral(": ")));
    p.drawRect(QRectF(content.left(), y, content.width(), line * static_cast<double>(c.identity.size()) + line * 0.5));
    double row = y + line * 0.25;
    for (const auto &[label, value] : c.identity) {
        p.drawText(QRectF(content.left() + margin / 2, row, labelWidth, line), Qt::AlignLeft | Qt::AlignVCenter,
                   label + QStringLiteral(":"));
        p.drawText(QRectF(content.left() + margin / 2 + labelWidth, row, content.width() - labelWidth - margin, line),
                   Qt::AlignLeft | Qt::AlignVCenter, value);
        row += line;
    }
    y = row + line * 0.75;

    const QRectF plotArea(content.left(), y, content.width(), std::min(content.width() * 0.5, content.height() * 0.36));
    const bool bidir = c.kind == PairPageKind::Bidirectional;
    const std::vector<PairCurve> curves = {
        {&first, false, QColor(0, 70, 200), c.firstLengthM},
        {&second, bidir, bidir ? QColor(200, 90, 0) : QColor(0, 150, 60), c.secondLengthM}};
    drawPairPlot(p, plotArea, curves, c, textFont, columnsPerUnit);
    y = plotArea.bottom() + line * 0.5;
    // Legend: the colour of each curve and its file.
    for (size_t i = 0; i < curves.size(); ++i) {
        const double x = content.left() + content.width() * static_cast<double>(i) / 2.0;
        p.setPen(QPen(curves[i].colour, 0));
        p.drawLine(QPointF(x, y + line / 2), QPointF(x + margin * 2, y + line / 2));
        p.setPen(QPen(Qt::black, 0));
        const QString name = QFileInfo(slotFilePath(i == 0 ? *pairPage.first : *pairPage.second)).fileName();
        const QString tag = bidir ? (i == 0 ? QStringLiteral("A->B ") : QStringLiteral("B->A "))
                                  : QStringLiteral("%1 nm ").arg(i == 0 ? first.wavelengthNm : second.wavelengthNm);
        p.drawText(QRectF(x + margin * 2.5, y, content.width() / 2 - margin * 3, line), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(tag + name, Qt::ElideMiddle, content.width() / 2 - margin * 3));
    }
    y += line * 1.5;

    if (!c.problem.isEmpty()) {
        p.setPen(QPen(QColor(200, 0, 0), 0));
        p.drawText(QRectF(content.left(), y, content.width(), line), Qt::AlignLeft | Qt::AlignVCenter, c.problem);
        p.setPen(QPen(Qt::black, 0));
        y += line * 1.5;
    }
    if (c.refused) {
        p.restore();
        return;
    }

    // Totals in one row of four, the mean total loss in bold.
    const double quarter = content.width() / 4.0;
    for (size_t i = 0; i < c.totals.size(); ++i) {
        p.setFont(i + 1 == c.totals.size() ? boldFont : textFont);
        p.drawText(QRectF(content.left() + quarter * static_cast<double>(i), y, quarter, line),
                   Qt::AlignLeft | Qt::AlignVCenter, c.totals[i].first + QStringLiteral(": ") + c.totals[i].second);
    }
    p.setFont(textFont);
    y += line * 1.5;

    // The event table: as many rows as the page holds; a count of the rest below it.
    const int columns = static_cast<int>(c.columns.size());
    const double first0 = fm.horizontalAdvance(QStringLiteral("000"));
    const double columnWidth = (content.width() - first0) / std::max(1, columns - 1);
    const auto columnRect = [&](int k, double top) {
        if (k == 0)
            return QRectF(content.left(), top, first0, line);
        return QRectF(content.left() + first0 + columnWidth * (k - 1), top, columnWidth, line);
    };
    p.setFont(boldFont);
    for (int k = 0; k < columns; ++k)
        p.drawText(columnRect(k, y), Qt::AlignCenter, c.columns[k]);
    p.setFont(textFont);
    y += line;
    p.drawLine(QPointF(content.left(), y), QPointF(content.right(), y));
    const int fits = std::max(0, static_cast<int>((content.bottom() - y - line) / line));
    const int shown = std::min(fits, static_cast<int>(c.rows.size()));
    for (int r = 0; r < shown; ++r) {
        const bool marked = c.marked[static_cast<size_t>(r)];
        p.setPen(QPen(marked ? QColor(200, 0, 0) : QColor(0, 0, 0), 0));
        for (int k = 0; k < columns; ++k)
            p.drawText(columnRect(k, y), Qt::AlignCenter, c.rows[static_cast<size_t>(r)][k]);
        y += line;
    }
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(QPointF(content.left(), y), QPointF(content.right(), y));
    if (shown < static_cast<int>(c.rows.size()))
        p.drawText(QRectF(content.left(), y, content.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("+ %1").arg(static_cast<int>(c.rows.size()) - shown));
    p.restore();
}
