#include "app/AppError.h"
#include "app/ModGen.h"
#include "app/ProgressBox.h"
#include "app/Settings.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

// The general helpers: path splitting and shortening, folder creation, the
// wait, opening documents, the progress bar and closing every window.
class TestModGen : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        Settings::setStoreFolderForTesting(m_dir.filePath(QStringLiteral("settings")));
    }
    void cleanup()
    {
        modGen::setDocumentOpener(nullptr);
        Settings::setStoreFolderForTesting(QString());
    }

    void folderAndFileParts()
    {
        QCOMPARE(modGen::getFolderPart(QStringLiteral("Help.doc")), QStringLiteral("Help.doc"));
        QCOMPARE(modGen::getFilePart(QStringLiteral("Help.doc")), QStringLiteral("Help.doc"));
        QCOMPARE(modGen::getFolderPart(QStringLiteral("C:\\Data\\Quorvex.mdb")), QStringLiteral("C:\\Data\\"));
        QCOMPARE(modGen::getFilePart(QStringLiteral("C:\\Data\\Quorvex.mdb")), QStringLiteral("Quorvex.mdb"));
        QCOMPARE(modGen::getFilePart(QStringLiteral("\\\\PC\\Quorvex\\")), QString());
        QCOMPARE(modGen::getFolderPart(QStringLiteral("\\\\PC\\Quorvex\\")), QStringLiteral("\\\\PC\\Quorvex\\"));
        QCOMPARE(modGen::getFolderPart(QStringLiteral("/srv/events/")), QStringLiteral("/srv/events/"));
        QCOMPARE(modGen::getFilePart(QStringLiteral("/srv/events/")), QString());
        // The last separator counts, whichever kind it is.
        QCOMPARE(modGen::getFolderPart(QStringLiteral("/srv\\pic/17.jpg")), QStringLiteral("/srv\\pic/"));
        QCOMPARE(modGen::getFilePart(QStringLiteral("C:/Data\\Events")), QStringLiteral("Events"));
        QCOMPARE(modGen::getFolderPart(QString()), QString());
        QCOMPARE(modGen::getFilePart(QString()), QString());
    }

    void shortPaths()
    {
        const QString folder = QDir::toNativeSeparators(m_dir.path()) + QDir::separator();
        QCOMPARE(modGen::getShortPath(folder), folder);
        QCOMPARE(modGen::getShortPath(folder + QStringLiteral("Quorvex.mdb")), folder + QStringLiteral("Quorvex.mdb"));
        // Only the folder is looked up; the last name is appended unchanged.
        QCOMPARE(modGen::getShortPath(folder + QStringLiteral("Events")), folder + QStringLiteral("Events"));

        const QString missing = folder + QStringLiteral("missing");
        QCOMPARE(modGen::getShortPath(missing + QDir::separator()), QString());
        QCOMPARE(modGen::getShortPath(missing + QDir::separator() + QStringLiteral("Quorvex.mdb")), QString());
        QCOMPARE(modGen::getShortPath(QString()), QString());
        // A file is no folder.
        QFile file(folder + QStringLiteral("plain.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(modGen::getShortPath(folder + QStringLiteral("plain.txt") + QDir::separator()), QString());
    }

    void fileExistsNeedsAFile()
    {
        const QString folder = m_dir.path() + QStringLiteral("/exists");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(!modGen::fileExists(folder));
        QVERIFY(!modGen::fileExists(folder + QStringLiteral("/Quorvex.mdb")));
        QVERIFY(!modGen::fileExists(QString()));
        QFile file(folder + QStringLiteral("/Quorvex.mdb"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(modGen::fileExists(folder + QStringLiteral("/Quorvex.mdb")));
    }

    void ensureFolderCreatesOnlyTheLastLevel()
    {
        const QString base = m_dir.path() + QStringLiteral("/db");
        QVERIFY(QDir().mkpath(base));
        modGen::ensureFolder(base + QStringLiteral("/Pic"));
        QVERIFY(QFileInfo(base + QStringLiteral("/Pic")).isDir());
        // Again: nothing to do, no error.
        modGen::ensureFolder(base + QStringLiteral("/Pic"));
        modGen::ensureFolder(base + QStringLiteral("/Logo/"));
        QVERIFY(QFileInfo(base + QStringLiteral("/Logo")).isDir());

        const QString deep = base + QStringLiteral("/no/such/Pic");
        try {
            modGen::ensureFolder(deep);
            QFAIL("a folder whose parent is missing was reported as created");
        } catch (const AppError &error) {
            QCOMPARE(error.source(), QStringLiteral("Create Folder"));
            QVERIFY(error.number() > 0);
            QVERIFY2(error.description().contains(QDir::toNativeSeparators(deep)), qPrintable(error.description()));
        }
        QVERIFY(!QFileInfo::exists(base + QStringLiteral("/no")));
    }

    void pauseWaitsAndKeepsEventsFlowing()
    {
        bool fired = false;
        QTimer::singleShot(0, this, [&fired] { fired = true; });
        QElapsedTimer clock;
        clock.start();
        modGen::pause(150);
        QVERIFY(clock.elapsed() >= 150);
        QVERIFY(fired);

        // A zero wait still lets pending events run.
        bool again = false;
        QTimer::singleShot(0, this, [&again] { again = true; });
        modGen::pause(0);
        QVERIFY(again);
    }

    void progressPercentages()
    {
        ProgressBox box;
        box.resize(200, 20);
        const struct { float fraction; bool exact; const char *text; } cases[] = {
            {0.999f, false, "99%"}, {1.0f, true, "100%"}, {1.0f, false, "99%"}, {0.0f, true, "0%"},
            {0.0f, false, "1%"},   {0.1f, false, "10%"}, {0.345f, false, "35%"}, {0.004f, false, "1%"},
        };
        for (const auto &c : cases) {
            modGen::showProgress(&box, c.fraction, c.exact);
            QCOMPARE(box.lastText(), QString::fromLatin1(c.text));
        }
        QCOMPARE(box.lastPercent(), 1);
        // Anything but a progress box is left alone.
        QWidget other;
        modGen::showProgress(&other, 0.5f, false);
        modGen::showProgress(nullptr, 0.5f, false);
    }

    void progressBarShowsTheTextInReverse()
    {
        ProgressBox box;
        box.resize(200, 24);
        const QRgb background = QApplication::palette().color(QPalette::ToolTipBase).rgb() & 0xffffff;
        const QRgb green = qRgb(0, 192, 0) & 0xffffff;
        const QRgb barOverBackground = ~(green ^ background) & 0xffffff;

        modGen::showProgress(&box, 0.25f, true);
        QImage image = box.image().convertToFormat(QImage::Format_RGB32);
        image.setDevicePixelRatio(1);
        const int w = image.width(), h = image.height();
        QCOMPARE(image.pixel(2, 1) & 0xffffff, barOverBackground);
        QCOMPARE(image.pixel(w - 3, h - 2) & 0xffffff, background);
        QCOMPARE(box.lastText(), QStringLiteral("25%"));

        // Full bar: the text stays readable because it is drawn in reverse under the bar.
        modGen::showProgress(&box, 1.0f, true);
        image = box.image().convertToFormat(QImage::Format_RGB32);
        int barPixels = 0, otherPixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ((image.pixel(x, y) & 0xffffff) == barOverBackground ? barPixels : otherPixels)++;
        QVERIFY(barPixels > image.width() * image.height() / 2);
        QVERIFY2(otherPixels > 10, "the text vanished under the bar");

        // Nothing drawn at zero but the text.
        modGen::showProgress(&box, 0.0f, true);
        image = box.image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.pixel(2, 1) & 0xffffff, background);
    }

    void openDocumentReportsFailures()
    {
        ScriptedDialogs dialogs;
        QList<QUrl> opened;
        bool accept = true;
        modGen::setDocumentOpener([&](const QUrl &url, const QString &verb) {
            opened.append(url);
            return verb == QStringLiteral("open") && accept;
        });

        QCOMPARE(modGen::openDocument(QString(), QStringLiteral("open")), 0);
        QVERIFY(opened.isEmpty());
        QVERIFY(dialogs.boxes().isEmpty());

        const QString missing = m_dir.path() + QStringLiteral("/Help.doc");
        dialogs.answer(MsgAnswer::Ok);
        QCOMPARE(modGen::openDocument(missing, QStringLiteral("open")), 2);
        QVERIFY(opened.isEmpty()); // a missing file never reaches the desktop
        QCOMPARE(dialogs.boxes().size(), 1);
        const ScriptedDialogs::Box box = dialogs.lastBox();
        QCOMPARE(box.title, QStringLiteral("Warning"));
        QCOMPARE(box.icon, MsgIcon::Information);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QCOMPARE(box.text, QStringLiteral("2 Error Executing:") + missing
                               + QStringLiteral("\rPlease report this error to support@quorvex.example"));

        QFile file(missing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(modGen::openDocument(missing, QStringLiteral("open")) > 32);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.last(), QUrl::fromLocalFile(missing));
        QCOMPARE(dialogs.boxes().size(), 1);

        accept = false;
        dialogs.answer(MsgAnswer::Ok);
        QCOMPARE(modGen::openDocument(missing, QStringLiteral("open")), 31);
        QVERIFY(dialogs.lastBox().text.startsWith(QStringLiteral("31 Error Executing:")));

        accept = true;
        QVERIFY(modGen::openDocument(QStringLiteral("mailto:someone@example.org"), QStringLiteral("open")) > 32);
        QCOMPARE(opened.last(), QUrl(QStringLiteral("mailto:someone@example.org")));
        QVERIFY(dialogs.allAnswersUsed());
    }

    void closeAllFormsClosesEverything()
    {
        auto *first = new QWidget;
        auto *second = new QWidget;
        auto *find = new QWidget;
        find->setObjectName(QStringLiteral("frmFind"));
        first->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<QWidget> firstAlive(first);
        first->show();
        second->show();
        find->show();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::setOverrideCursor(Qt::BusyCursor);
        modGen::findOpen() = true;

        modGen::closeAllForms();
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!modGen::findOpen());
        QVERIFY(!second->isVisible());
        QVERIFY(!find->isVisible());
        QTRY_VERIFY(firstAlive.isNull());
        for (QWidget *window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
        delete second;
        delete find;
    }

    void storedPathsBecomeNative()
    {
        QCOMPARE(modGen::toNativePath(QStringLiteral("Pic\\17.jpg")),
                 QStringLiteral("Pic") + QDir::separator() + QStringLiteral("17.jpg"));
        QCOMPARE(modGen::toNativePath(QStringLiteral("Logo/idlogo.bmp")),
                 QStringLiteral("Logo") + QDir::separator() + QStringLiteral("idlogo.bmp"));
    }

    void databaseFileFollowsTheFolder()
    {
        modGen::dbFolder() = QStringLiteral("/srv/events/");
        QCOMPARE(modGen::databaseFile(), QStringLiteral("/srv/events/Quorvex.mdb"));
        modGen::dbFolder().clear();
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestModGen)
#include "tst_modgen.moc"
