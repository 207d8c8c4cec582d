#include "app/ReportSetup.h"

ReportLabels &reportLabels()
{
    static ReportLabels labels;
    return labels;
}

ReportFontTable &reportFontTable()
{
    static ReportFontTable table;
    return table;
}

void loadReportSetup(const TextLookup &texts)
{
    ReportLabels &l = reportLabels();
    auto t = [&](int id) { return lookupText(texts, id); };
    l.title = t(126);
    l.taskBox = t(127);
    l.taskNo = t(128);
    l.contractor = t(129);
    l.user = t(130);
    l.fileName = t(131);
    l.testDate = t(132);
    l.operatorName = t(133);
    l.comment = t(134);
    l.eventBox = t(135);
    l.configurationBox = t(136);
    l.startLocation = t(137);
    l.startLocationValue = t(137);
    l.startCable = t(139);
    l.startFiber = t(140);
    l.startColour = t(141);
    l.endPoint = t(142);
    l.endLocation = t(143);
    l.endCable = t(144);
    l.endFiber = t(145);
    l.endColour = t(146);
    l.wavelength = t(147);
    l.refractiveIndex = t(148);
    l.pulseWidth = t(149);
    l.testRange = t(150);
    l.averageTime = t(151);
    l.backscatter = t(153);
    l.lossThreshold = t(154);
    l.reflectionThreshold = t(155);
    l.endThreshold = t(156);
    l.traceBox = t(157);
    l.abBox = t(238);
    l.abDistance = t(239);
    l.abLoss = t(240);
    l.abSlope = t(241);
    l.direction = t(249);

    ReportFontTable &f = reportFontTable();
    f.face = QString::fromUtf8("宋体");
    f.points[1] = {9, 8, 7, 6, 5};
    f.points[2] = {7, 6, 5, 5, 5};
}
