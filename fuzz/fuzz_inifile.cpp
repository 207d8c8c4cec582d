// Reads arbitrary bytes through CIniFile and checks that a write changes only the key written:
// every other value reads the same afterwards, and the written value reads back.
#include "config/CIniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

const QString &scratchFile()
{
    // Every write ends in an fsync; on tmpfs that costs nothing.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/lumidor-fuzz-XXXXXX")
                                                                        : QDir::tempPath() + QStringLiteral("/lumidor-fuzz-XXXXXX"));
    static const QString path = QDir(dir.path()).filePath(QStringLiteral("fuzz.ini"));
    return path;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

using Snapshot = std::map<std::pair<QString, QString>, QString>;

// Each read parses the whole file, so a few dozen values are compared, not every one.
Snapshot snapshot(const CIniFile &ini, const QStringList &sections)
{
    constexpr size_t limit = 48;
    Snapshot values;
    for (const QString &section : sections) {
        for (const QString &key : ini.ListKeys(section)) {
            if (values.size() == limit)
                return values;
            values[{section, key}] = ini.ReadText(section, key, QStringLiteral("<absent>"));
        }
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString &path = scratchFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }

    CIniFile ini(path);
    const QStringList sections = ini.ListSections();
    const Snapshot before = snapshot(ini, sections);
    for (const auto &[name, value] : before) {
        ini.ReadInt(name.first, name.second, 0);
        ini.ReadFloat64(name.first, name.second, 0.0);
    }

    const QString section = sections.isEmpty() ? QStringLiteral("Fuzz") : sections.front();
    const QString key = QStringLiteral("FuzzKey");
    // Half the inputs write a value that an 8-bit file cannot hold.
    const QString value = size % 2 ? QStringLiteral(" a = \u5f20 ") : QStringLiteral(" a = \u00e9 ");
    ini.WriteText(section, key, value);
    if (!ini.lastWriteSucceeded())
        return 0;
    check(ini.ReadText(section, key, QString()) == value);

    for (const auto &[name, old] : before) {
        const bool written = name.first.compare(section, Qt::CaseInsensitive) == 0
                             && name.second.compare(key, Qt::CaseInsensitive) == 0;
        if (!written)
            check(ini.ReadText(name.first, name.second, QStringLiteral("<absent>")) == old);
    }

    ini.RemoveKey(section, key);
    ini.CreateSection(QStringLiteral("Fuzz"));
    ini.RemoveSection(section);
    return 0;
}
