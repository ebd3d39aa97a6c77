#pragma once

#include <QToolBar>

class QAction;
class QComboBox;

// "tbToolBar": the buttons New, View All, Save, Delete, Print (with its drop-down
// "Preview ID Card"), Find and Help, each action carrying its key in the property
// "key", and the card size box "cboIDSize". A click reports the clicked button's
// key; the window dispatches on it, as the original's button click handler did.
class RegisterToolBar : public QToolBar
{
    Q_OBJECT
public:
    explicit RegisterToolBar(QWidget *parent = nullptr);

    // The button whose "key" property is `key`, or nullptr.
    QAction *button(const QString &key) const;
    QComboBox *cboIDSize() const { return m_cboIDSize; }
    // The image list imlToolbarIcons: the picture of a key ("New", "View All",
    // "View Rec", "Open", "Save", "Delete", "Print", "Find", "Help").
    QIcon image(const QString &key) const;

    static QString keyOf(const QAction *action);

signals:
    void buttonClick(const QString &key);     // tbToolBar_ButtonClick
    void buttonMenuClick(const QString &key); // tbToolBar_ButtonMenuClick

private:
    QAction *addKeyedButton(const QString &key, const QString &toolTip, const QIcon &icon);

    QComboBox *m_cboIDSize = nullptr;
};
