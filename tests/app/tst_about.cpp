#include "core/AppContext.h"
#include "register/AboutWindow.h"
#include "ScriptedDialogs.h"
#include "TestHelpers.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

// The About window, shown modally through the dialogs seam: its texts and picture,
// the mail link, the labels that do nothing, and the two ways to close it.
class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    // The seam fails the test if the window is still open after the handler.
    void showsTextsStartsAMailAndCloses_data()
    {
        QTest::addColumn<bool>("onBackground");
        QTest::newRow("OK button") << false;
        QTest::newRow("background") << true;
    }
    void showsTextsStartsAMailAndCloses()
    {
        QFETCH(bool, onBackground);
        QStringList opened;
        AppContext context;
        context.openUrl = [&opened](const QUrl &url, const QString &verb) {
            opened << verb + ' ' + url.toString();
            return true;
        };
        ScriptedDialogs dialogs;
        dialogs.onModal([&](QDialog *about) {
            const auto label = [about](const char *name) { return about->findChild<QLabel *>(name); };
            QCOMPARE(about->windowTitle(), "About Quorvex Application");
            QCOMPARE(label("lblVersion")->text(), testHelpers::versionText());
            // The compiled-in picture must be loaded from the static library.
            QVERIFY(!label("Spider")->pixmap().isNull());
            // Only the address starts a mail, by mouse or keyboard, and the window stays open.
            for (const char *name : {"lblDisclaimer_0", "lblDisclaimer_1", "lblTitle", "lblVersion", "Spider"})
                QTest::mouseClick(label(name), Qt::LeftButton);
            QVERIFY(opened.isEmpty());
            QTest::mouseClick(label("lblDisclaimer_2"), Qt::LeftButton);
            label("lblDisclaimer_2")->setFocus();
            QTest::keyClick(label("lblDisclaimer_2"), Qt::Key_Return);
            QVERIFY(about->isVisible());
            if (onBackground)
                QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(3, 3));
            else
                QTest::mouseClick(about->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        });
        QWidget owner;
        AboutWindow::showAbout(context, &owner);
        QVERIFY(dialogs.allAnswersUsed());
        QCOMPARE(opened, QStringList(2, "open mailto:support@quorvex.example"));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
