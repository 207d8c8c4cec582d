#include "print/ReportLabels.h"

ReportLabels loadReportLabels(const TextLookup &text)
{
    ReportLabels l;
    l.title = text(126);
    l.taskBox = text(127);
    l.fileName = text(131);
    l.testDate = text(132);
    l.operatorName = text(133);
    l.eventBox = text(135);
    l.configurationBox = text(136);
    l.startLocation = text(137);
    l.startCable = text(139);
    l.startFiber = text(140);
    l.direction = text(249);
    l.endLocation = text(143);
    l.wavelength = text(147);
    l.refractiveIndex = text(148);
    l.pulseWidth = text(149);
    l.testRange = text(150);
    l.averageTime = text(151);
    l.backscatter = text(153);
    l.lossThreshold = text(154);
    l.reflectionThreshold = text(155);
    l.endThreshold = text(156);
    l.traceBox = text(157);
    l.abBox = text(238);
    l.abDistance = text(239);
    l.abLoss = text(240);
    l.abSlope = text(241);
    l.measureLsa = text(434);
    l.measureSplice = text(435);
    l.totalLoss = text(246);
    l.orl = text(400);
    l.autoText = text(158);
    l.reflect = text(159);
    l.nonReflect = text(160);
    for (int i = 0; i < 7; ++i)
        l.eventColumns[i] = text(116 + i);
    const int opmIds[6] = {145, 144, 106, 250, 251, 252};
    for (int i = 0; i < 6; ++i)
        l.powerMeterColumns[i] = text(opmIds[i]);
    l.powerMeterTitle = text(300);
    l.pdfTraceReport = text(490);
    l.pdfSummary = text(491);
    l.pdfPowerMeterReport = text(492);
    PairLabels &p = l.pair;
    p.bidirTitle = text(452);
    p.wavelengthTitle = text(453);
    p.distance = text(455);
    p.lossAb = text(456);
    p.lossBa = text(457);
    p.meanLoss = text(458);
    p.reflectance = text(459);
    p.seen = text(460);
    for (int i = 0; i < 3; ++i)
        p.seenWords[i] = text(461 + i);
    p.lossAt = text(464);
    p.difference = text(465);
    p.macrobend = text(466);
    p.cable = text(467);
    p.fibre = text(468);
    p.wavelength = text(469);
    p.fibreLength = text(470);
    p.totalAb = text(471);
    p.totalBa = text(472);
    p.meanTotal = text(473);
    p.totalLoss = text(479);
    p.differentWavelengths = text(474);
    p.sameWavelength = text(475);
    p.doubtful = text(476);
    return l;
}
