#pragma once

// Identifiers of the user-interface texts the program fetches from the text library.
namespace text {

enum : int {
    Title = 103,
    EventNo = 116, EventDistance = 117, EventSegment = 118, EventLoss = 119, EventTotalLoss = 120,
    EventSlope = 121, EventReflect = 122,
    OpenAtLeastOneCurve = 123,
    ConfirmExit = 124,
    MaximumCurves = 178,
    ErrorOpeningFile = 179,
    MenuFile = 180, MenuTrace = 181, MenuCursor = 182, MenuAnalyze = 183, MenuAbout = 184,
    HZoomIn = 185, HZoomOut = 186, VZoomIn = 187, VZoomOut = 188, TraceUp = 189, TraceDown = 190,
    ToggleCursor = 191, Open = 192, SaveFile = 193, PrintPreview = 194, Print = 195,
    BatchPrinting = 196, Exit = 197, MoveLeft = 198, MoveRight = 199, AddEvent = 200,
    DeleteEvent = 201,
    FiberInformation = 209, CableNo = 210, FiberNo = 211, FiberType = 212, Operator = 213,
    SinglemodeFiber = 231, DispersionShiftedFiber = 232, MultiModeFiber = 233,
    NzDispersionShiftedFiber = 234,
    Save = 236, Cancel = 237,
    PassTitle = 243, PassReflection = 244, PassNonReflection = 245, PassTotalLoss = 246,
    PassReturnLoss = 247, PassAverage = 248,
    ErrorSavingFile = 253,
    ExportEvents = 344, ErrorExportingEvents = 345, CsvFilter = 346, SummaryPage = 347,
    FullView = 348,
    Orl = 400, OrlLabel = 401,
    AnalyzeTrace = 420, AnalysisThresholdsMenu = 421, AnalysisThresholdsTitle = 422,
    AnalysisLossThreshold = 423, AnalysisReflectanceThreshold = 424, AnalysisEndThreshold = 425,
    AnalysisUseFileThresholds = 426, EventsSource = 427, EventsFromAnalysis = 428, EventsFromFile = 429,
    MenuEdit = 430, Undo = 431, Measurement = 432, MeasureTwoPoint = 433, MeasureLsa = 434, MeasureSplice = 435,
    AnalysisUnavailable = 436, AnalysisFoundNothing = 437,
    // Both directions and two wavelengths of one fibre.
    MenuBidirectional = 450, MenuWavelengths = 451, BidirReportTitle = 452, WavelengthReportTitle = 453,
    BidirectionalPages = 454, PairDistance = 455, PairLossAb = 456, PairLossBa = 457, PairMeanLoss = 458,
    PairReflectance = 459, PairSeen = 460, PairSeenBoth = 461, PairSeenAb = 462, PairSeenBa = 463,
    PairLossAtWavelength = 464, PairDifference = 465, PairMacrobend = 466, PairCable = 467, PairFibre = 468,
    PairWavelength = 469, PairFibreLength = 470, PairTotalAb = 471, PairTotalBa = 472, PairMeanTotal = 473,
    PairDifferentWavelengths = 474, PairSameWavelength = 475, PairDoubtful = 476, PairNeedsSecondTrace = 477,
    PairSecondTrace = 478, PairTotalLoss = 479,
    RewriteAsIssue2 = 480, ExportTrace = 481, ExportPicture = 482, ErrorExportingTrace = 483,
    ErrorExportingPicture = 484, PngFilter = 485, PictureAtTwiceTheSize = 486,
    TitleTraceReport = 490, TitleSummary = 491, TitlePowerMeterReport = 492,
    TooManyEventsToEdit = 510,
};

} // namespace text
