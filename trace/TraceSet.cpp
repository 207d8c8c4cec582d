#include "trace/TraceSet.h"

#include "config/AsciiCase.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// Paths that differ only in letter case name one file on case-insensitive media (a USB stick) but
// two files elsewhere. When both exist as different files they are not the same trace.
bool distinctExistingFiles(const QString &a, const QString &b)
{
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev != sb.st_dev || sa.st_ino != sb.st_ino;
}

} // namespace

bool TraceSet::containsPath(const QString &path) const
{
    const int n = loadedCount < slotCount ? loadedCount : slotCount;
    for (int i = 0; i < n; ++i) {
        const QString &held = slots[i].filePath;
        if (held == path)
            return true;
        if (equalsIgnoringAsciiCase(held, path) && !distinctExistingFiles(held, path))
            return true;
    }
    return false;
}

uint32_t TraceSet::colourFor(int n) const
{
    return (n >= 2 && n <= 8) ? colourTable[n] : colourTable[1];
}

void TraceSet::reset()
{
    const int n = loadedCount < slotCount ? loadedCount : slotCount;
    for (int i = 0; i < n; ++i)
        slots[i].loaded = 0;
    currentSlot = 0;
    loadedCount = 0;
}

void applyTraceColours(const ColourSettings &colours, TraceSet &traces)
{
    for (size_t i = 0; i < colours.trace.size(); ++i) {
        traces.colourTable[i + 1] = colours.trace[i];
        traces.slots[i].trace->colour = colours.trace[i];
    }
}
