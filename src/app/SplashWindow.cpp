#include "SplashWindow.h"

#include "DatabaseLocator.h"
#include "ProgressBox.h"
#include "core/AccessibleTitle.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/ModGen.h"
#include "core/Resources.h"
#include "core/Settings.h"
#include "register/RegisterWindow.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

SplashWindow::SplashWindow(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmSplash"));
    appResources::ensureLoaded();
    setWindowTitle(QStringLiteral("Quorvex"));
    followTitleWithAccessibleName(this);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    // Shape1: the frame drawn around the window's content.
    auto *shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameShape(QFrame::Box);
    shape->setLineWidth(2);
    outer->addWidget(shape);

    auto *content = new QVBoxLayout(shape);
    content->setContentsMargins(16, 16, 16, 12);
    auto *top = new QHBoxLayout;
    content->addLayout(top);

    m_imgLogo = makeLabel(shape, "imgLogo", QString());
    m_imgLogo->setPixmap(QPixmap(QStringLiteral(":/images/quorvex.png")));
    m_imgLogo->setAccessibleName(tr("Quorvex logo"));
    top->addWidget(m_imgLogo, 0, Qt::AlignTop);

    auto *titles = new QVBoxLayout;
    top->addLayout(titles, 1);
    QLabel *product = makeLabel(shape, "lblProductName", QStringLiteral("Quorvex"));
    QFont productFont = product->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 2.4);
    productFont.setBold(true);
    product->setFont(productFont);
    titles->addWidget(product);
    m_lblVersion = makeLabel(shape, "lblVersion", QStringLiteral("Version"));
    titles->addWidget(m_lblVersion);
    titles->addWidget(makeLabel(shape, "lblCompanyProduct", QStringLiteral("Free Ware")));
    titles->addStretch(1);

    auto *user = new QHBoxLayout;
    content->addLayout(user);
    QLabel *userCaption = makeLabel(shape, "lblUser_0", tr("Licensed to:"));
    user->addWidget(userCaption, 0, Qt::AlignTop);
    m_lblUser1 = makeLabel(shape, "lblUser_1", QString());
    userCaption->setBuddy(m_lblUser1);
    user->addWidget(m_lblUser1, 1);

    auto *warning = new QHBoxLayout;
    content->addLayout(warning);
    QLabel *warningCaption = makeLabel(shape, "Label1", QStringLiteral("WARNING:"));
    QFont bold = warningCaption->font();
    bold.setBold(true);
    warningCaption->setFont(bold);
    warning->addWidget(warningCaption, 0, Qt::AlignTop);
    QLabel *notice = makeLabel(shape, "lblWarning",
                               tr("Quorvex is free ware: you may use and pass it on at no cost. It comes without "
                                  "any warranty; keep a copy of your database."));
    notice->setWordWrap(true);
    warning->addWidget(notice, 1);

    m_picStatus = new ProgressBox(shape);
    m_picStatus->setObjectName(QStringLiteral("picStatus"));
    m_picStatus->setFixedHeight(22);
    content->addWidget(m_picStatus);

    setFixedSize(480, 300);
    // Lay out now: the bar is drawn at the progress box's size before the window is first shown.
    // A hidden window defers its children's resize events, so each level is set here.
    ensurePolished();
    layout()->setGeometry(QRect(QPoint(0, 0), size()));
    shape->layout()->setGeometry(shape->contentsRect());
}

SplashWindow::~SplashWindow()
{
    delete m_register.data();
}

QWidget *SplashWindow::picStatus() const
{
    return m_picStatus;
}

RegisterWindow *SplashWindow::mainWindow() const
{
    return m_register.data();
}

void SplashWindow::refresh()
{
    repaint();
}

bool SplashWindow::locateDatabase()
{
    return DatabaseLocator(m_context).locate();
}

void SplashWindow::showProgress(float fraction)
{
    m_picStatus->showProgress(fraction);
}

QString SplashWindow::versionText()
{
    return modGen::versionText();
}

void SplashWindow::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    close();
}

void SplashWindow::centreOnScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

bool SplashWindow::formLoad()
{
    try {
        m_imgLogo->raise();
        m_picStatus->showProgress(0.0f, true);
        centreOnScreen();
        m_lblVersion->setText(versionText());
        m_defName = SettingKeys::DefName.read();
        m_defCompany = SettingKeys::DefCompany.read();
        m_lblUser1->setText(QLatin1Char(' ') + m_defName + QStringLiteral("\r\n") + QLatin1Char(' ') + m_defCompany);

        show();
        QCoreApplication::processEvents();

        m_register = new RegisterWindow(m_context);
        m_register->formLoad(this);

        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        m_picStatus->showProgress(1.0f, true);
        // The main window first, so that closing the splash never leaves the
        // program without a window.
        m_register->show();
        close();
        return true;
    } catch (const AppError &error) {
        return fail(error.source(), error.description());
    } catch (const std::exception &error) {
        return fail(QStringLiteral("Quorvex"), QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return fail(QStringLiteral("Quorvex"), tr("An unexpected error stopped the start of the program."));
    }
}

bool SplashWindow::fail(const QString &source, const QString &description)
{
    Dialogs::instance().message(this, description, source, MsgButtons::Ok, MsgIcon::Critical);
    modGen::closeAllForms(m_context);
    delete m_register.data();
    return false;
}
