#include "RegisterToolBar.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

RegisterToolBar::RegisterToolBar(QWidget *parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("tbToolBar"));
    setWindowTitle(QStringLiteral("Toolbar"));
    setAccessibleName(QStringLiteral("Toolbar"));
    setMovable(false);

    QStyle *st = style();
    addKeyedButton(QStringLiteral("New"), QStringLiteral("Add New"), st->standardIcon(QStyle::SP_FileIcon));
    addKeyedButton(QStringLiteral("View All"), QStringLiteral("View All"),
                   st->standardIcon(QStyle::SP_FileDialogDetailedView));
    addKeyedButton(QStringLiteral("Save"), QStringLiteral("Save"), st->standardIcon(QStyle::SP_DialogSaveButton));
    addKeyedButton(QStringLiteral("Delete"), QStringLiteral("Delete Current Record"),
                   st->standardIcon(QStyle::SP_TrashIcon));
    QAction *print = addKeyedButton(QStringLiteral("Print"), QStringLiteral("Print ID Card"),
                                    QIcon::fromTheme(QStringLiteral("document-print"),
                                                     st->standardIcon(QStyle::SP_ComputerIcon)));
    addKeyedButton(QStringLiteral("Find"), QStringLiteral("Find "),
                   st->standardIcon(QStyle::SP_FileDialogContentsView));
    addKeyedButton(QStringLiteral("Check In"), QStringLiteral("Check In (F8)"),
                   st->standardIcon(QStyle::SP_DialogApplyButton));
    // The last button shows the help image; clicking it does nothing.
    addKeyedButton(QStringLiteral("Help"), QStringLiteral("Help"), st->standardIcon(QStyle::SP_DialogHelpButton));

    // "Print" prints at once; its drop-down holds the preview.
    auto *printMenu = new QMenu(this);
    printMenu->setObjectName(QStringLiteral("tbToolBar_PrintMenu"));
    QAction *preview = printMenu->addAction(QStringLiteral("Preview ID Card"));
    preview->setObjectName(QStringLiteral("tbPreviewID"));
    preview->setProperty("key", QStringLiteral("PreviewID"));
    print->setMenu(printMenu);
    if (auto *printButton = qobject_cast<QToolButton *>(widgetForAction(print)))
        printButton->setPopupMode(QToolButton::MenuButtonPopup);
    connect(printMenu, &QMenu::triggered, this, [this](QAction *action) { emit buttonMenuClick(keyOf(action)); });

    addSeparator();
    m_cboIDSize = new QComboBox(this);
    m_cboIDSize->setObjectName(QStringLiteral("cboIDSize"));
    m_cboIDSize->addItems(
        {QStringLiteral("<ID Card Size>"), QStringLiteral("2 1/4 X 3.5"), QStringLiteral("3 X 4")});
    m_cboIDSize->setAccessibleName(QStringLiteral("ID Card Size"));
    m_cboIDSize->setToolTip(QStringLiteral("ID Card Size"));
    m_cboIDSize->setFocusPolicy(Qt::StrongFocus);
    addWidget(m_cboIDSize);
}

QAction *RegisterToolBar::addKeyedButton(const QString &key, const QString &toolTip, const QIcon &icon)
{
    QAction *action = addAction(icon, toolTip);
    QString name = key;
    name.remove(QLatin1Char(' '));
    action->setObjectName(QStringLiteral("tb") + name);
    action->setProperty("key", key);
    action->setToolTip(toolTip);
    // Triggered by a menu-less click only: the drop-down's items report through buttonMenuClick.
    connect(action, &QAction::triggered, this, [this, action] { emit buttonClick(keyOf(action)); });
    return action;
}

QIcon RegisterToolBar::image(const QString &key) const
{
    QStyle *st = style();
    if (key == QLatin1String("View All"))
        return st->standardIcon(QStyle::SP_FileDialogDetailedView);
    if (key == QLatin1String("View Rec"))
        return st->standardIcon(QStyle::SP_FileDialogInfoView);
    if (key == QLatin1String("New"))
        return st->standardIcon(QStyle::SP_FileIcon);
    if (key == QLatin1String("Open"))
        return st->standardIcon(QStyle::SP_DialogOpenButton);
    if (key == QLatin1String("Save"))
        return st->standardIcon(QStyle::SP_DialogSaveButton);
    if (key == QLatin1String("Delete"))
        return st->standardIcon(QStyle::SP_TrashIcon);
    if (key == QLatin1String("Print"))
        return QIcon::fromTheme(QStringLiteral("document-print"), st->standardIcon(QStyle::SP_ComputerIcon));
    if (key == QLatin1String("Find"))
        return st->standardIcon(QStyle::SP_FileDialogContentsView);
    if (key == QLatin1String("Check In"))
        return st->standardIcon(QStyle::SP_DialogApplyButton);
    if (key == QLatin1String("Help"))
        return st->standardIcon(QStyle::SP_DialogHelpButton);
    return QIcon();
}

QAction *RegisterToolBar::button(const QString &key) const
{
    for (QAction *action : actions()) {
        if (keyOf(action) == key)
            return action;
    }
    return nullptr;
}

QString RegisterToolBar::keyOf(const QAction *action)
{
    return action ? action->property("key").toString() : QString();
}
