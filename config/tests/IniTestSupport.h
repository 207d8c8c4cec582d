#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <ctime>
#include <string>

// A scratch folder with helpers to write and read files as bytes.
class ScratchFolder {
public:
    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }
    QString folder() const { return dir.path(); }

    QString write(const QString &name, const QByteArray &bytes) const
    {
        const QString file = path(name);
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(bytes);
        return file;
    }

    QByteArray read(const QString &name) const
    {
        QFile in(path(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir;
};

// UTF-16LE bytes of a text, with the FF FE mark in front.
inline QByteArray utf16File(const QString &text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// Runs a scope in a fixed time zone, so local-time results are known numbers.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char *zone)
    {
        if (const char *old = std::getenv("TZ")) {
            hadOld = true;
            previous = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZoneScope()
    {
        if (hadOld)
            setenv("TZ", previous.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool hadOld = false;
    std::string previous;
};
