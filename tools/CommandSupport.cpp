#include "tools/CommandSupport.h"

#include "trace/CSorFileBase.h"
#include "trace/TraceLoader.h"

#include <QFileInfo>

#include <cmath>
#include <cstdio>

#include <unistd.h>

namespace commandsupport {

QString toolFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

int usageError(const char *command, const char *usage, const char *message, const char *detail)
{
    std::fprintf(stderr, "sortool %s: %s%s%s\n%s", command, message, detail ? ": " : "", detail ? detail : "", usage);
    return 2;
}

bool loadViewedTrace(const char *command, const QString &path, TraceData &trace, TraceCurve &curve,
                     QM7ZZZ_Acount_Total_Loss_fn totalLoss)
{
    CSorFileBase sor;
    SorRecord record;
    const int result = sor.ReadFile(path, record);
    if (result != SorResult::Done || record.traces.empty()) {
        std::fprintf(stderr, "sortool %s: cannot read %s (%s)\n", command, qPrintable(path),
                     result == SorResult::Done     ? "no trace in it"
                     : result == SorResult::NotSor ? "not a SOR file"
                                                   : "cannot open it");
        return false;
    }
    loadTrace(record, trace, totalLoss);
    curve = buildTraceCurve(trace, viewLevels(record, trace.sampleCount), recordUserOffset(record));
    return true;
}

Progress::Progress(const char *command, qsizetype total)
    : command_(command), total_(total), shown_(isatty(fileno(stderr)) == 1)
{
    sinceDrawn_.start();
}

Progress::~Progress()
{
    if (drawn_)
        std::fputs("\r\033[K", stderr);
}

void Progress::step(qsizetype done)
{
    if (!shown_ || (drawn_ && sinceDrawn_.elapsed() < 200 && done < total_))
        return;
    std::fprintf(stderr, "\rsortool %s: %lld of %lld", command_, static_cast<long long>(done),
                 static_cast<long long>(total_));
    std::fflush(stderr);
    drawn_ = true;
    sinceDrawn_.restart();
}

std::optional<double> nonNegativeNumber(const char *command, const char *option, const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0.0) {
        std::fprintf(stderr, "sortool %s: %s needs a number of 0 or more, not '%s'\n", command, option,
                     text.toLocal8Bit().constData());
        return std::nullopt;
    }
    return value;
}

bool checkPairs(const char *command, const char *usage, const QStringList &files)
{
    if (files.isEmpty()) {
        usageError(command, usage, "no files given");
        return false;
    }
    if (files.size() % 2 != 0) {
        std::fprintf(stderr, "sortool %s: files are taken in pairs; %lld given, the last has no partner: %s\n", command,
                     static_cast<long long>(files.size()), files.last().toLocal8Bit().constData());
        return false;
    }
    return true;
}

} // namespace commandsupport
