// Text gathered into glyph runs lands on the pixels drawText gives it in a PDF.

#include "print/TextBatch.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void app()
{
    static int argc = 1;
    static char name[] = "text_batch_tests";
    static char *argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
}

struct Case {
    QRect rect;
    int flags;
    QString text;
};

const int alignments[] = {0,
                          Qt::AlignLeft | Qt::AlignVCenter,
                          Qt::AlignHCenter | Qt::AlignVCenter,
                          Qt::AlignRight | Qt::AlignVCenter,
                          Qt::AlignRight | Qt::AlignTop,
                          Qt::AlignCenter,
                          Qt::AlignHCenter | Qt::AlignBottom};

// A PDF page of labels and values in several sizes, drawn directly or through the batch
// (flushed once a font, as the report flushes once a section), with the report's resolution and
// a fractional logical-to-device scale, so rounding of the glyph origin shows. The page comes
// back rasterised by pdftoppm at 300 dpi.
QImage page(bool batched, const std::vector<QString> &texts)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("t.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        QPainter p(&writer);
        p.setWindow(0, 0, 1100, 1180);
        p.setViewport(0, 0, 4377, 4695);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setPen(QPen(Qt::black, 0));
        TextBatch batch;
        int y = 3;
        for (const int pixels : {7, 11, 17}) {
            for (const bool bold : {false, true}) {
                QFont font;
                font.setPixelSize(pixels);
                font.setBold(bold);
                p.setFont(font);
                int x = 3;
                for (const QString &text : texts) {
                    for (const int flags : alignments) {
                        const QRect rect(x, y, 60 + x % 7, pixels + 2 + x % 3);
                        if (batched)
                            batch.add(p, rect, flags, text);
                        else
                            p.drawText(rect, flags | Qt::TextSingleLine | Qt::TextDontClip, text);
                        x += 77;
                        if (x > 1000) {
                            x = 3;
                            y += pixels + 8;
                        }
                    }
                }
                batch.flush(p);
                y += pixels + 8;
            }
        }
    }
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                              QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("t"))});
    render.waitForFinished(60000);
    return QImage(dir.filePath(QStringLiteral("t.png"))).convertToFormat(QImage::Format_RGB32);
}

int darkPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            n += qGray(line[x]) < 128 ? 1 : 0;
    }
    return n;
}

} // namespace

TEST(TextBatch, GlyphsLandWhereDrawTextPutsThem)
{
    app();
    // Labels, padded titles, numbers, a file name, accents and a lone letter; the second group
    // is drawn directly by the batch (line break, tab, mnemonic, right-to-left) and must keep
    // its place among the rest.
    const std::vector<QString> plain{QStringLiteral(" Trace "), QStringLiteral("40.50"), QStringLiteral("12.345 km"),
                                     QStringLiteral(": -33.313"), QStringLiteral("  12"),
                                     QStringLiteral("f0001_4lm-Ok.sor"), QStringLiteral("A"),
                                     QString::fromUtf8("\xc3\x89nergie \xc2\xb1"), QString()};
    const std::vector<QString> direct{QStringLiteral("two\nlines"), QStringLiteral("a\ttab"), QStringLiteral("R&D"),
                                      QString::fromUtf8("\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d 12")};
    for (const auto *texts : {&plain, &direct}) {
        const QImage expected = page(false, *texts);
        EXPECT_GT(darkPixels(expected), 2000);
        EXPECT_TRUE(page(true, *texts) == expected);
    }
}

TEST(TextBatch, FlushDrawsWithThePenTheTextWasGatheredUnder)
{
    app();
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font;
    font.setPixelSize(30);
    p.setFont(font);
    p.setPen(QPen(Qt::red, 0));
    TextBatch batch;
    batch.add(p, QRect(0, 0, 200, 60), Qt::AlignCenter, QStringLiteral("MMM"));
    // A pen set for lines after the text does not colour it; nothing is drawn before flush.
    p.setPen(QPen(Qt::blue, 0));
    EXPECT_EQ(darkPixels(image), 0);
    batch.flush(p);
    int red = 0;
    int blue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 80 ? 1 : 0;
            blue += c.blue() > 200 && c.green() < 80 && c.red() < 80 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 100);
    EXPECT_EQ(blue, 0);
    EXPECT_EQ(p.pen().color(), QColor(Qt::blue));
    // A second flush has nothing left to draw.
    const QImage once = image.copy();
    batch.flush(p);
    EXPECT_TRUE(image == once);
}
