#include "print/PdfMetadata.h"

#include "trace/AtomicWrite.h"
#include "trace/SorBlocks.h"
#include "trace/TraceSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <vector>

Q_LOGGING_CATEGORY(lcPdf, "lumidor.pdf")

namespace {

// The folder a slot's file lies in. Slots hold the full path (main window) or the folder itself
// (batch preparation), each with the file name beside it.
QString folderName(const TraceSlot &slot)
{
    const QFileInfo path(slot.filePath);
    if (path.fileName() == slot.fileName)
        return path.dir().dirName();
    return path.fileName();
}

// A PDF text string: UTF-16BE with its byte-order mark, written in hex so nothing needs escaping.
QByteArray pdfTextString(const QString &text)
{
    QByteArray utf16("\xFE\xFF", 2);
    for (QChar c : text) {
        utf16.append(static_cast<char>(c.unicode() >> 8));
        utf16.append(static_cast<char>(c.unicode() & 0xFF));
    }
    return '<' + utf16.toHex().toUpper() + '>';
}

struct XrefEntry {
    qsizetype at = 0;     // where the entry's 10 offset digits start in the file
    qsizetype offset = 0; // the object's offset
};

} // namespace

PdfMetadata reportPdfMetadata(const PrintJob &job, const ReportLabels &labels)
{
    PdfMetadata m;
    m.creator = QString::fromLatin1(pdfCreator);
    QString kind;
    QString name;
    if (job.powerMeterMode) {
        kind = labels.pdfPowerMeterReport;
        name = QFileInfo(job.powerMeterFile).fileName();
    } else {
        std::vector<const TraceSlot *> printed;
        const auto add = [&printed](const TraceSlot *slot) {
            if (slot && std::find(printed.begin(), printed.end(), slot) == printed.end())
                printed.push_back(slot);
        };
        for (const PairPage &pair : job.pairPages) {
            add(pair.first);
            add(pair.second);
        }
        for (int i = 0; i < job.count && i < static_cast<int>(job.slots.size()); ++i)
            add(job.slots[static_cast<size_t>(i)]);
        if (!job.summaryRows.empty())
            kind = labels.pdfSummary;
        else if (!job.pairPages.empty() && job.count == 0)
            kind = job.pairPages.front().kind == PairPageKind::Wavelengths ? labels.pair.wavelengthTitle
                                                                          : labels.pair.bidirTitle;
        else
            kind = labels.pdfTraceReport;
        if (printed.size() == 1)
            name = printed.front()->fileName;
        else if (!printed.empty())
            name = folderName(*printed.front());
        for (const TraceSlot *slot : printed) {
            if (slot->trace && !slot->trace->operatorName.trimmed().isEmpty()) {
                m.author = slot->trace->operatorName.trimmed();
                break;
            }
        }
    }
    m.title = kind.isEmpty() ? name : name.isEmpty() ? kind : kind + QStringLiteral(" - ") + name;
    return m;
}

bool addPdfAuthor(QByteArray &pdf, const QString &author)
{
    // The cross-reference table the last startxref points at: "xref\n0 N\n" and N entries of
    // 20 bytes each, then the trailer naming the information dictionary.
    const qsizetype start = pdf.lastIndexOf("startxref");
    if (start < 0)
        return false;
    bool ok = false;
    const qsizetype xrefAt = pdf.mid(start + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || xrefAt <= 0 || xrefAt >= start || !pdf.mid(xrefAt).startsWith("xref\n0 "))
        return false;
    const qsizetype countEnd = pdf.indexOf('\n', xrefAt + 7);
    const qsizetype count = pdf.mid(xrefAt + 7, countEnd - xrefAt - 7).trimmed().toLongLong(&ok);
    if (!ok || count <= 0 || countEnd + 1 + count * 20 > start)
        return false;
    std::vector<XrefEntry> entries;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = countEnd + 1 + i * 20;
        const qsizetype offset = pdf.mid(at, 10).toLongLong(&ok);
        if (!ok)
            return false;
        entries.push_back({at, offset});
    }
    const qsizetype infoKey = pdf.indexOf("/Info ", countEnd + 1 + count * 20);
    if (infoKey < 0 || infoKey > start)
        return false;
    const qsizetype infoObject = pdf.mid(infoKey + 6, 12).split(' ').value(0).toLongLong(&ok);
    if (!ok || infoObject <= 0 || infoObject >= count)
        return false;
    const qsizetype objectAt = entries[static_cast<size_t>(infoObject)].offset;
    const QByteArray opening = QByteArray::number(infoObject) + " 0 obj\n<<\n";
    if (!pdf.mid(objectAt).startsWith(opening))
        return false;

    const qsizetype insertAt = objectAt + opening.size();
    if (insertAt > xrefAt)
        return false;
    const QByteArray entry = "/Author " + pdfTextString(author) + '\n';
    const qsizetype delta = entry.size();
    for (XrefEntry &e : entries) {
        if (e.offset >= insertAt)
            e.offset += delta;
    }
    QByteArray out = pdf.left(insertAt) + entry + pdf.mid(insertAt, start - insertAt);
    for (const XrefEntry &e : entries) {
        // Entries sit after the insertion, so they moved by delta in `out`.
        const QByteArray digits = QByteArray::number(e.offset).rightJustified(10, '0');
        if (digits.size() != 10)
            return false;
        out.replace(e.at + delta, 10, digits);
    }
    out += "startxref\n" + QByteArray::number(xrefAt + delta) + "\n%%EOF\n";
    pdf = std::move(out);
    return true;
}

bool addPdfAuthorToFile(const QString &path, const QString &author)
{
    if (author.isEmpty())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray pdf = file.readAll();
    file.close();
    if (!addPdfAuthor(pdf, author)) {
        qCInfo(lcPdf) << "no author added to" << path << ": unexpected structure";
        return true; // the document stands without it
    }
    return writeFileAtomically(path, pdf, lcPdf()) == SorResult::Done;
}
