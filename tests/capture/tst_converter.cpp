// The converter util1.sp on its own: the JPEG it writes is the reference
// encoder's at quality 65 with optimised tables, and bad input never costs the
// earlier photograph.

#include "CaptureFixture.h"
#include "TestHelpers.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int status;
    QString errors;
};

Run convert(const QStringList &arguments)
{
    QProcess process;
    process.start(CaptureFixture::converterPath(), arguments);
    if (!process.waitForFinished(10000))
        return {-1, QStringLiteral("did not finish: ") + process.errorString()};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A JPEG without its JFIF segment, which holds only the pixel density (the
// reference copies the bitmap's, Qt writes its own).
QByteArray withoutJfif(const QByteArray &jpeg)
{
    if (jpeg.size() < 6 || !jpeg.startsWith("\xFF\xD8\xFF\xE0"))
        return jpeg;
    const int length = (quint8(jpeg.at(4)) << 8) | quint8(jpeg.at(5));
    return jpeg.mid(4 + length);
}

QImage sample()
{
    QImage image(320, 240, QImage::Format_RGB888);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 320, 240);
    gradient.setColorAt(0, QColor(200, 40, 30));
    gradient.setColorAt(1, QColor(20, 60, 210));
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(Qt::white);
    painter.drawEllipse(90, 40, 140, 160);
    return image;
}

} // namespace

class ConverterTest : public QObject
{
    Q_OBJECT

private slots:
    void writesTheReferenceJpeg();
    void badInputKeepsTheEarlierJpeg_data();
    void badInputKeepsTheEarlierJpeg();
};

void ConverterTest::writesTheReferenceJpeg()
{
    const QString cjpeg = QStandardPaths::findExecutable("cjpeg");
    QVERIFY2(!cjpeg.isEmpty(), "cjpeg (libjpeg-turbo-progs, scripts/install-deps.sh) is the reference encoder");
    QTemporaryDir dir;
    const QString folder = dir.filePath("data folder with blanks");
    QVERIFY(QDir().mkpath(folder));
    const QString bitmap = folder + "/17.bmp";
    const QString jpeg = folder + "/17.jpg";
    QVERIFY(sample().save(bitmap, "BMP"));

    const Run run = convert({"-quality", "65", "-optimize", bitmap, jpeg});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.errors, QString());

    QProcess reference;
    reference.start(cjpeg, {"-quality", "65", "-optimize", "-outfile", dir.filePath("reference.jpg"), bitmap});
    QVERIFY(reference.waitForFinished(10000));
    QCOMPARE(reference.exitCode(), 0);
    // Same quantisation (quality), same Huffman tables (optimised), same data: byte for byte
    // the reference's JPEG of the same bitmap (its size and markers included).
    QCOMPARE(withoutJfif(contents(jpeg)), withoutJfif(contents(dir.filePath("reference.jpg"))));
    // Only the JPEG is left: the temporary file was renamed over it.
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"17.bmp", "17.jpg"}));
}

void ConverterTest::badInputKeepsTheEarlierJpeg_data()
{
    QTest::addColumn<QString>("bitmapName");
    QTest::addColumn<QString>("jpegName");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");

    const QStringList usual {"-quality", "65", "-optimize"};
    QTest::newRow("missing bitmap") << "absent.bmp" << "17.jpg" << usual << 1;
    QTest::newRow("not a bitmap") << "text.bmp" << "17.jpg" << usual << 1;
    QTest::newRow("a PNG named .bmp") << "png.bmp" << "17.jpg" << usual << 1;
    QTest::newRow("target is a folder") << "good.bmp" << "folder.jpg" << usual << 1;
    QTest::newRow("target folder missing") << "good.bmp" << "nowhere/17.jpg" << usual << 1;
    QTest::newRow("no quality") << "good.bmp" << "17.jpg" << QStringList {"-optimize"} << 2;
    QTest::newRow("quality not a number") << "good.bmp" << "17.jpg" << QStringList {"-quality", "high"} << 2;
}

void ConverterTest::badInputKeepsTheEarlierJpeg()
{
    QFETCH(QString, bitmapName);
    QFETCH(QString, jpegName);
    QFETCH(QStringList, options);
    QFETCH(int, status);

    QTemporaryDir dir;
    const QString earlier = dir.filePath("17.jpg");
    QVERIFY(sample().save(earlier, "JPEG", 90));
    const QByteArray before = contents(earlier);
    QVERIFY(sample().save(dir.filePath("good.bmp"), "BMP"));
    QVERIFY(sample().save(dir.filePath("png.bmp"), "PNG"));
    QVERIFY(testHelpers::writeFile(dir.filePath("text.bmp"), "this is no picture\n"));
    QVERIFY(QDir(dir.path()).mkdir("folder.jpg"));
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    const Run run = convert(options + QStringList {dir.filePath(bitmapName), dir.filePath(jpegName)});
    QCOMPARE(run.status, status);
    QVERIFY2(run.errors.startsWith("util1.sp: "), qPrintable(run.errors));
    QCOMPARE(contents(earlier), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
}

QTEST_GUILESS_MAIN(ConverterTest)
#include "tst_converter.moc"
