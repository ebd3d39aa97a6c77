#include "app/AboutWindow.h"
#include "app/ModGen.h"
#include "ScriptedDialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

// The About window, shown modally through the dialogs seam: its texts, the
// mail link, the labels that do nothing, and the two ways to close it.
class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_opened.clear();
        modGen::setDocumentOpener([this](const QUrl &url, const QString &verb) {
            m_opened.append(url);
            m_verbs.append(verb);
            return true;
        });
    }
    void cleanup() { modGen::setDocumentOpener(nullptr); }

    void showsVersionAndCaption()
    {
        ScriptedDialogs dialogs;
        QString caption, version;
        dialogs.onModal([&](QDialog *about) {
            QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
            caption = about->windowTitle();
            version = about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text();
            QVERIFY(about->findChild<QLabel *>(QStringLiteral("lblTitle")));
            QVERIFY(about->findChild<QLabel *>(QStringLiteral("lblTitle2")));
            QVERIFY(!about->findChild<QLabel *>(QStringLiteral("Spider"))->pixmap().isNull());
            QVERIFY(about->findChild<QWidget *>(QStringLiteral("Line1")));
            QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        QWidget owner;
        AboutWindow::showAbout(&owner);
        QVERIFY(dialogs.allAnswersUsed());
        QCOMPARE(caption, QStringLiteral("About Quorvex Application"));
        QCOMPARE(version, QStringLiteral("Version %1.%2.%3")
                              .arg(QUORVEX_VERSION_MAJOR)
                              .arg(QUORVEX_VERSION_MINOR)
                              .arg(QUORVEX_VERSION_PATCH));
    }

    void onlyTheAddressStartsAMail()
    {
        ScriptedDialogs dialogs;
        bool stayedOpen = false;
        dialogs.onModal([&](QDialog *about) {
            for (const char *name : {"lblDisclaimer_0", "lblDisclaimer_1", "lblTitle", "lblVersion", "Spider"}) {
                auto *label = about->findChild<QLabel *>(QLatin1String(name));
                QVERIFY2(label, name);
                QTest::mouseClick(label, Qt::LeftButton);
            }
            QVERIFY(m_opened.isEmpty());
            stayedOpen = about->isVisible();

            auto *link = about->findChild<QLabel *>(QStringLiteral("lblDisclaimer_2"));
            QCOMPARE(link->text(), QStringLiteral("support@quorvex.example"));
            QTest::mouseClick(link, Qt::LeftButton);
            QCOMPARE(m_opened.size(), 1);
            // The keyboard reaches the link too.
            link->setFocus();
            QTest::keyClick(link, Qt::Key_Return);
            QCOMPARE(m_opened.size(), 2);
            QVERIFY(about->isVisible());
            about->close();
        });
        AboutWindow::showAbout(nullptr);
        QVERIFY(stayedOpen);
        QCOMPARE(m_opened.value(0), QUrl(QStringLiteral("mailto:support@quorvex.example")));
        QCOMPARE(m_verbs.value(0), QStringLiteral("open"));
    }

    void backgroundClickCloses()
    {
        ScriptedDialogs dialogs;
        dialogs.onModal([](QDialog *about) {
            QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(3, 3));
            QVERIFY(!about->isVisible());
        });
        AboutWindow::showAbout(nullptr);
        QVERIFY(dialogs.allAnswersUsed());
    }

private:
    QList<QUrl> m_opened;
    QStringList m_verbs;
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
