#include "core/AppContext.h"
#include "register/AboutWindow.h"
#include "ScriptedDialogs.h"

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
    void init()
    {
        m_opened.clear();
        m_context.openUrl = [this](const QUrl &url, const QString &verb) {
            m_opened.append(verb + QLatin1Char(' ') + url.toString());
            return true;
        };
    }

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
        ScriptedDialogs dialogs;
        dialogs.onModal([&](QDialog *about) {
            QCOMPARE(about->windowTitle(), QStringLiteral("About Quorvex Application"));
            QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                     QStringLiteral("Version %1.%2.%3")
                         .arg(QUORVEX_VERSION_MAJOR).arg(QUORVEX_VERSION_MINOR).arg(QUORVEX_VERSION_PATCH));
            // The compiled-in picture must be loaded from the static library.
            QVERIFY(!about->findChild<QLabel *>(QStringLiteral("Spider"))->pixmap().isNull());
            // Only the address starts a mail, by mouse or keyboard, and the window stays open.
            for (const char *name : {"lblDisclaimer_0", "lblDisclaimer_1", "lblTitle", "lblVersion", "Spider"})
                QTest::mouseClick(about->findChild<QLabel *>(QLatin1String(name)), Qt::LeftButton);
            QVERIFY(m_opened.isEmpty());
            auto *link = about->findChild<QLabel *>(QStringLiteral("lblDisclaimer_2"));
            QTest::mouseClick(link, Qt::LeftButton);
            link->setFocus();
            QTest::keyClick(link, Qt::Key_Return);
            QVERIFY(about->isVisible());
            if (onBackground)
                QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(3, 3));
            else
                QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        QWidget owner;
        AboutWindow::showAbout(m_context, &owner);
        QVERIFY(dialogs.allAnswersUsed());
        QCOMPARE(m_opened, QStringList(2, QStringLiteral("open mailto:support@quorvex.example")));
    }

private:
    AppContext m_context;
    QStringList m_opened;
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
