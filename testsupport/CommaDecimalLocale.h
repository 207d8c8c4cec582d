#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <clocale>
#include <string>

// Switches LC_NUMERIC to a comma-decimal locale (de_DE.UTF-8) for the life of the object, so a
// test can show that number reading ignores the process locale. Where the locale is not
// installed it is built from the system's locale sources into a temporary folder. The previous
// locale and LOCPATH come back on restore() or destruction.
class CommaDecimalLocale {
public:
    CommaDecimalLocale()
    {
        const char *previous = std::setlocale(LC_NUMERIC, nullptr);
        m_saved = previous ? previous : "C";
        m_savedPath = qgetenv("LOCPATH");
        m_active = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
        if (!m_active && m_folder.isValid()) {
            QProcess::execute(QStringLiteral("localedef"), {QStringLiteral("-i"), QStringLiteral("de_DE"),
                                                            QStringLiteral("-f"), QStringLiteral("UTF-8"),
                                                            m_folder.filePath(QStringLiteral("de_DE.UTF-8"))});
            qputenv("LOCPATH", QFile::encodeName(m_folder.path()));
            m_active = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
        }
    }
    ~CommaDecimalLocale() { restore(); }
    CommaDecimalLocale(const CommaDecimalLocale &) = delete;
    CommaDecimalLocale &operator=(const CommaDecimalLocale &) = delete;

    bool active() const { return m_active; }

    void restore()
    {
        if (m_restored)
            return;
        m_restored = true;
        std::setlocale(LC_NUMERIC, m_saved.c_str());
        if (m_savedPath.isNull())
            qunsetenv("LOCPATH");
        else
            qputenv("LOCPATH", m_savedPath);
    }

private:
    QTemporaryDir m_folder;
    std::string m_saved;
    QByteArray m_savedPath;
    bool m_active = false;
    bool m_restored = false;
};
