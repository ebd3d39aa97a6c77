#include "AttendeePanel.h"

#include "core/Twips.h"
#include "bindings/DataControl.h"
#include "idcard/CardLayout.h"
#include "idcard/CardWidget.h"
#include "lists/LookupCombo.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// One line of the details: the caption label's index, its caption and the field.
struct FieldRow
{
    int index;
    const char *caption;
    const char *field;
};

// Elements 0 and 4 of the captions belong to the Title and Office boxes.
constexpr FieldRow FieldRows[] = {
    {0, "Title:", "TitleName"},
    {1, "First Name:", "FirstName"},
    {2, "MI:", "MiddleInitial"},
    {3, "Last Name:", "LastName"},
    {4, "Office:", "OfficeName"},
    {5, "Address:", "Address"},
    {6, "City:", "City"},
    {7, "State/Province:", "StateOrProvince"},
    {8, "ZipCode:", "PostalCode"},
    {9, "Country:", "Country"},
    {10, "Chapter:", "Chapter"},
    {11, "Email:", "EmailName"},
    {12, "HomePhone:", "HomePhone"},
    {13, "WorkPhone:", "WorkPhone"},
    {14, "MobilePhone:", "MobilePhone"},
    {15, "FaxNumber:", "FaxNumber"},
    {16, "Note:", "Note"},
};
constexpr int RowsInLeftColumn = 9; // elements 0..8 left, 9..16 right

QLabel *makeHiddenLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(QString::fromLatin1(name));
    label->hide();
    return label;
}

} // namespace

AttendeePanel::AttendeePanel(const CardContent *card, QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("fraAtt"));
    setAccessibleName(QStringLiteral("Attendee Information"));
    setFrameShape(QFrame::StyledPanel);

    // The heading is drawn twice, the second a shade behind the first, as on the old form.
    auto *label3 = new QLabel(QStringLiteral("Attendee Information"), this);
    label3->setObjectName(QStringLiteral("Label3"));
    auto *label2 = new QLabel(QStringLiteral("Attendee Information"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    QFont headingFont = label2->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    for (QLabel *heading : {label2, label3}) {
        heading->setFont(headingFont);
        heading->adjustSize();
    }
    QPalette shade = label3->palette();
    shade.setColor(QPalette::WindowText, shade.color(QPalette::Mid));
    label3->setPalette(shade);
    label3->setAccessibleName(QString()); // the same words once are enough for a screen reader
    label3->move(8, 8);
    label2->move(7, 7);

    m_card = new CardWidget(CardLayout::miniature(), card, this);
    m_card->setObjectName(QStringLiteral("fraID"));

    auto *lblInfo = new QLabel(QStringLiteral("Information:"), this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    QList<QWidget *> left;
    QList<QWidget *> right;
    for (const FieldRow &row : FieldRows) {
        const int gridRow = row.index < RowsInLeftColumn ? row.index : row.index - RowsInLeftColumn;
        const int gridColumn = row.index < RowsInLeftColumn ? 0 : 3;
        QList<QWidget *> &chain = row.index < RowsInLeftColumn ? left : right;
        const QString caption = QString::fromUtf8(row.caption);

        auto *label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(row.index));
        label->setProperty("index", row.index);
        label->setProperty("field", QString::fromLatin1(row.field));
        grid->addWidget(label, gridRow, gridColumn);

        QWidget *editor = nullptr;
        if (row.index == 0 || row.index == 4) {
            auto *combo = row.index == 0
                ? new LookupCombo(QStringLiteral("cboTitle"), QStringLiteral("Title"), 0, this)
                : new LookupCombo(QStringLiteral("cboOffice"), QStringLiteral("Office"), 1, this);
            (row.index == 0 ? m_cboTitle : m_cboOffice) = combo;
            auto *box = new QHBoxLayout;
            box->setSpacing(2);
            box->addWidget(combo, 1);
            box->addWidget(combo->deleteButton());
            grid->addLayout(box, gridRow, gridColumn + 1);
            editor = combo;
            chain << combo << combo->deleteButton();
        } else {
            auto *edit = new QLineEdit(this);
            edit->setObjectName(QStringLiteral("txtFields_%1").arg(row.index));
            edit->setProperty("index", row.index);
            m_txtFields.insert(row.index, edit);
            grid->addWidget(edit, gridRow, gridColumn + 1);
            const int index = row.index;
            connect(edit, &QLineEdit::textChanged, this, [this, index] { emit fieldChanged(index); });
            editor = edit;
            chain << edit;
        }
        editor->setProperty("field", QString::fromLatin1(row.field));
        editor->setAccessibleName(caption);
        label->setBuddy(editor);
    }
    grid->setColumnMinimumWidth(2, 12);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    m_tabChain = left + right;

    m_lblProgramID = makeHiddenLabel(this, "lblProgramID");
    m_lblAttID = makeHiddenLabel(this, "lblAttID");
    m_lblPic = makeHiddenLabel(this, "lblPic");

    // The card is placed by twips, not by the layout: the details start below it.
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblInfo);
    layout->addLayout(grid);
    layout->addStretch(1);
    placeCard();

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &AttendeePanel::reloadRequested);
}

void AttendeePanel::placeCard()
{
    const QRect twips = cardTwips();
    const QRect pixels = Twips::toPixelRect(twips, logicalDpiX(), logicalDpiY());
    m_card->setGeometry(pixels);
    if (auto *box = qobject_cast<QVBoxLayout *>(layout())) {
        const int top = Twips::toPixelsRounded(twips.y() + twips.height() + 120, logicalDpiY());
        QMargins margins = box->contentsMargins();
        margins.setTop(top);
        box->setContentsMargins(margins);
    }
    setMinimumWidth(pixels.right() + 12);
}

void AttendeePanel::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::StyleChange)
        placeCard();
}

void AttendeePanel::bindTo(DataControl *data)
{
    for (auto it = m_txtFields.cbegin(); it != m_txtFields.cend(); ++it)
        data->bind(it.value(), it.value()->property("field").toString());
    data->bind(m_cboTitle, QStringLiteral("TitleName"));
    data->bind(m_cboOffice, QStringLiteral("OfficeName"));
    data->bind(m_lblProgramID, QStringLiteral("ProgramID"));
    data->bind(m_lblAttID, QStringLiteral("AttendeeID"));
    data->bind(m_lblPic, QStringLiteral("Picture"));
}

QString AttendeePanel::fieldText(int index) const
{
    const QLineEdit *edit = m_txtFields.value(index);
    return edit ? edit->text() : QString();
}

bool AttendeePanel::hasTypedText() const
{
    for (const QLineEdit *edit : m_txtFields)
        if (!edit->text().isEmpty())
            return true;
    return !m_cboTitle->currentText().isEmpty() || !m_cboOffice->currentText().isEmpty()
        || !m_lblPic->text().isEmpty();
}

QList<QWidget *> AttendeePanel::tabChain() const
{
    return m_tabChain;
}
