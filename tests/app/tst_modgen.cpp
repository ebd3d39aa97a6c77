#include "app/ProgressBox.h"
#include "core/AppContext.h"
#include "core/ModGen.h"
#include "ScriptedDialogs.h"
#include "TestHelpers.h"
#include "ThrownError.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
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
    void folderAndFileOfAPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::newRow("name only") << "Help.doc" << "Help.doc" << "Help.doc";
        QTest::newRow("drive") << "C:\\Data\\Quorvex.mdb" << "C:\\Data\\" << "Quorvex.mdb";
        QTest::newRow("share") << "\\\\PC\\Quorvex\\" << "\\\\PC\\Quorvex\\" << "";
        // The last separator counts, whichever kind it is.
        QTest::newRow("mixed") << "/srv\\pic/17.jpg" << "/srv\\pic/" << "17.jpg";
        QTest::newRow("mixed, no file") << "C:/Data\\Events" << "C:/Data\\" << "Events";
        QTest::newRow("empty") << "" << "" << "";
    }
    void folderAndFileOfAPath()
    {
        QFETCH(QString, path);
        QTEST(modGen::getFolderPart(path), "folder");
        QTEST(modGen::getFilePart(path), "file");
    }

    void pathsOnThisSystem()
    {
        const QString folder = QDir::toNativeSeparators(m_dir.path()) + QDir::separator();
        const QString file = folder + "Quorvex.mdb";
        QCOMPARE(modGen::getShortPath(folder), folder);
        // Only the folder is looked up; the last name is appended unchanged.
        QCOMPARE(modGen::getShortPath(folder + "Events"), folder + "Events");
        QCOMPARE(modGen::getShortPath(folder + "missing/Quorvex.mdb"), QString());
        // A file is no folder, and a folder is no file.
        QVERIFY(!modGen::fileExists(file));
        QVERIFY(testHelpers::writeFile(file));
        QVERIFY(modGen::fileExists(file) && !modGen::fileExists(folder));
        QCOMPARE(modGen::getShortPath(file + QDir::separator()), QString());
        // Paths stored on another system use its separators.
        QCOMPARE(modGen::toNativePath("Pic\\17.jpg"), QDir::toNativeSeparators("Pic/17.jpg"));
    }

    void ensureFolderCreatesOnlyTheLastLevel()
    {
        const QString base = m_dir.path() + "/db";
        QVERIFY(QDir().mkpath(base));
        for (const char *name : {"/Pic", "/Pic", "/Logo/"}) // again: nothing to do, no error
            modGen::ensureFolder(base + name);
        QVERIFY(QFileInfo(base + "/Pic").isDir() && QFileInfo(base + "/Logo").isDir());

        const QString deep = base + "/no/such/Pic";
        const std::optional<AppError> error = thrownError([&] { modGen::ensureFolder(deep); });
        QVERIFY2(error, "a folder whose parent is missing was reported as created");
        QCOMPARE(error->source(), "Create Folder");
        QVERIFY(error->number() > 0);
        QVERIFY2(error->description().contains(QDir::toNativeSeparators(deep)), qPrintable(error->description()));
        QVERIFY(!QFileInfo::exists(base + "/no"));
    }

    void pauseWaitsAndKeepsEventsFlowing()
    {
        for (const int ms : {150, 0}) { // a zero wait still lets pending events run
            bool fired = false;
            QTimer::singleShot(0, this, [&fired] { fired = true; });
            QElapsedTimer clock;
            clock.start();
            modGen::pause(ms);
            QVERIFY(clock.elapsed() >= ms);
            QVERIFY(fired);
        }
    }

    // Rounded in single precision; "exact" shows 0 and 100, otherwise 1..99.
    void progressPercentages()
    {
        ProgressBox box;
        box.resize(200, 20);
        const struct { float fraction; bool exact; const char *text; } cases[] = {
            {0.999f, false, "99%"}, {1.0f, true, "100%"}, {1.0f, false, "99%"}, {0.0f, true, "0%"},
            {0.0f, false, "1%"},   {0.1f, false, "10%"}, {0.345f, false, "35%"}, {0.004f, false, "1%"},
        };
        for (const auto &c : cases) {
            box.showProgress(c.fraction, c.exact);
            QCOMPARE(box.lastText(), QString::fromLatin1(c.text));
        }
    }

    void progressBarShowsTheTextInReverse()
    {
        ProgressBox box;
        box.resize(200, 24);
        const QRgb background = QApplication::palette().color(QPalette::ToolTipBase).rgb() & 0xffffff;
        const QRgb bar = ~((qRgb(0, 192, 0) & 0xffffff) ^ background) & 0xffffff; // green over the background
        const auto draw = [&box](float fraction) {
            box.showProgress(fraction, true);
            return box.image().convertToFormat(QImage::Format_RGB32);
        };
        const auto rgb = [](const QImage &image, int x, int y) { return image.pixel(x, y) & 0xffffff; };

        QImage image = draw(0.25f);
        QCOMPARE(rgb(image, 2, 1), bar);
        QCOMPARE(rgb(image, image.width() - 3, image.height() - 2), background);

        // Full bar: the text stays readable because it is drawn in reverse under the bar.
        image = draw(1.0f);
        int barPixels = 0, otherPixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                (rgb(image, x, y) == bar ? barPixels : otherPixels)++;
        QVERIFY(barPixels > image.width() * image.height() / 2);
        QVERIFY2(otherPixels > 10, "the text vanished under the bar");
    }

    void openDocumentReportsFailures()
    {
        ScriptedDialogs dialogs;
        QList<QUrl> opened;
        bool accept = true;
        AppContext context;
        context.openUrl = [&](const QUrl &url, const QString &verb) {
            opened.append(url);
            return verb == "open" && accept;
        };
        QCOMPARE(modGen::openDocument(context, QString(), "open"), 0); // nothing to open, no box

        // A missing file never reaches the desktop: the "Warning" box with error 2.
        const QString missing = m_dir.path() + "/Help.doc";
        dialogs.answer(MsgAnswer::Ok);
        QCOMPARE(modGen::openDocument(context, missing, "open"), 2);
        QVERIFY(opened.isEmpty());
        QCOMPARE(dialogs.lastBox(), (ScriptedDialogs::Box {"2 Error Executing:" + missing + "\rPlease report this error "
                                                           "to support@quorvex.example", "Warning", MsgButtons::Ok,
                                                           MsgIcon::Information}));

        QVERIFY(testHelpers::writeFile(missing));
        QVERIFY(modGen::openDocument(context, missing, "open") > 32);
        QCOMPARE(opened, QList<QUrl> {QUrl::fromLocalFile(missing)});
        // No application took it: error 31.
        accept = false;
        dialogs.answer(MsgAnswer::Ok);
        QCOMPARE(modGen::openDocument(context, missing, "open"), 31);
        QVERIFY(dialogs.lastBox().text.startsWith("31 Error Executing:"));

        accept = true;
        QVERIFY(modGen::openDocument(context, "mailto:someone@example.org", "open") > 32);
        QCOMPARE(opened.last(), QUrl("mailto:someone@example.org"));
        QVERIFY(dialogs.allAnswersUsed());
    }

    void closeAllFormsClosesEverything()
    {
        auto *first = new QWidget;
        first->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<QWidget> firstAlive(first);
        QWidget second, find;
        find.setObjectName("frmFind");
        for (QWidget *w : {first, &second, &find})
            w->show();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::setOverrideCursor(Qt::BusyCursor); // every level is undone
        AppContext context;
        context.findOpen = true;

        modGen::closeAllForms(context);
        QVERIFY(!QApplication::overrideCursor() && !context.findOpen);
        QTRY_VERIFY(firstAlive.isNull());
        QCOMPARE(testHelpers::visibleWindows(), QStringList());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestModGen)
#include "tst_modgen.moc"
