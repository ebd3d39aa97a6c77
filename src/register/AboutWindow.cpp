#include "AboutWindow.h"

#include "bindings/CommandRunner.h"
#include "core/AccessibleTitle.h"
#include "core/AppError.h"
#include "ClickLabel.h"
#include "core/Dialogs.h"
#include "core/ModGen.h"
#include "core/Resources.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

ClickLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new ClickLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

AboutWindow::AboutWindow(const AppContext &context, QWidget *owner)
    : QDialog(owner)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmAbout"));
    appResources::ensureLoaded();
    setWindowTitle(QStringLiteral("About Quorvex Application"));
    followTitleWithAccessibleName(this);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->setHorizontalSpacing(16);

    ClickLabel *spider = makeLabel(this, "Spider", QString());
    spider->setPixmap(QPixmap(QStringLiteral(":/images/quorvex.png")));
    spider->setAccessibleName(tr("Quorvex product image"));
    grid->addWidget(spider, 0, 0, 3, 1, Qt::AlignTop);

    ClickLabel *title = makeLabel(this, "lblTitle", QStringLiteral("Quorvex"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title->setFont(titleFont);
    grid->addWidget(title, 0, 1);
    grid->addWidget(makeLabel(this, "lblTitle2",
                              tr("The registration desk of your events: attendees, donations and fees, "
                                 "photographs and ID cards.")),
                    1, 1);
    qobject_cast<QLabel *>(grid->itemAtPosition(1, 1)->widget())->setWordWrap(true);
    grid->addWidget(makeLabel(this, "lblVersion", modGen::versionText()), 2, 1);

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 3, 0, 1, 2);

    ClickLabel *disclaimer = makeLabel(
        this, "lblDisclaimer_0",
        tr("Quorvex is free ware and comes without any warranty. Keep a copy of your database; the makers "
           "cannot answer for lost data. Questions and faults:"));
    disclaimer->setWordWrap(true);
    grid->addWidget(disclaimer, 4, 1);
    ClickLabel *warning = makeLabel(this, "lblDisclaimer_1", QStringLiteral("Warning:"));
    QFont bold = warning->font();
    bold.setBold(true);
    warning->setFont(bold);
    grid->addWidget(warning, 4, 0, Qt::AlignTop | Qt::AlignRight);

    const QString address = QLatin1String(modGen::SupportAddress);
    ClickLabel *link = makeLabel(this, "lblDisclaimer_2", address);
    // Shown as a link, but plain text: the click goes through openDocument like the help does.
    QFont linkFont = link->font();
    linkFont.setUnderline(true);
    link->setFont(linkFont);
    QPalette linkPalette = link->palette();
    linkPalette.setColor(QPalette::WindowText, linkPalette.color(QPalette::Link));
    link->setPalette(linkPalette);
    link->setCursor(Qt::PointingHandCursor);
    link->setFocusPolicy(Qt::StrongFocus);
    link->setAccessibleName(tr("Write to %1").arg(address));
    link->setToolTip(tr("Write a mail message to %1").arg(address));
    grid->addWidget(link, 5, 1);

    const QList<ClickLabel *> disclaimers {disclaimer, warning, link};
    for (int index = 0; index < disclaimers.size(); ++index)
        connect(disclaimers[index], &ClickLabel::clicked, this, [this, index] { lblDisclaimer_Click(index); });

    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    grid->addLayout(buttons, 6, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(460);
}

void AboutWindow::showAbout(const AppContext &context, QWidget *owner)
{
    CommandRunner(owner).ignoring([&context, owner] {
        AboutWindow about(context, owner);
        Dialogs::instance().showModal(&about);
    });
}

void AboutWindow::lblDisclaimer_Click(int index)
{
    if (index == 2)
        modGen::openDocument(m_context, QStringLiteral("mailto:") + QLatin1String(modGen::SupportAddress),
                             QStringLiteral("open"));
}

void AboutWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        event->accept();
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}
