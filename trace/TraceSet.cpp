#include "trace/TraceSet.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// Case-insensitive for the ASCII letters only, as path comparison on the platform of origin.
bool equalIgnoringAsciiCase(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'A' && x <= u'Z')
            x = x - u'A' + u'a';
        if (y >= u'A' && y <= u'Z')
            y = y - u'A' + u'a';
        if (x != y)
            return false;
    }
    return true;
}

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
        if (equalIgnoringAsciiCase(held, path) && !distinctExistingFiles(held, path))
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
