#include "DataControl.h"
#include "OneLineValidator.h"

#include "data/BoundValue.h"
#include "data/Database.h"
#include "data/DataError.h"
#include "core/Dialogs.h"
#include "core/TextInput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>

// The data control is the listener of its recordset, so that moves made from
// code (the find dialog, the datasheet, deletion) raise the same events as the arrows.
class DataControlListener : public RecordsetListener
{
public:
    explicit DataControlListener(DataControl *control) : m_control(control) {}
    bool recordsetBeforeAction(DataAction action) override { return m_control->beforeAction(action); }
    void recordsetCurrentChanged() override { m_control->currentChanged(); }

private:
    DataControl *m_control;
};

namespace {

struct ArrowDef
{
    DataAction action;
    const char *objectName;
    const char *accessibleName;
};

constexpr ArrowDef Arrows[4] = {
    {DataAction::MoveFirst, "cmdFirst", "First record"},
    {DataAction::MovePrevious, "cmdPrevious", "Previous record"},
    {DataAction::MoveNext, "cmdNext", "Next record"},
    {DataAction::MoveLast, "cmdLast", "Last record"},
};

// A bound date box shows a null date as its minimum date with a blank special text.
void makeNullable(QDateTimeEdit *edit)
{
    if (edit->specialValueText().isEmpty())
        edit->setSpecialValueText(QStringLiteral(" "));
}

// A one-line box keeps one line of visible text, however the text came in (a box
// with a validator of its own keeps that one).
void keepOneLine(QLineEdit *edit)
{
    if (edit && !edit->validator())
        edit->setValidator(new OneLineValidator(edit));
}

} // namespace

DataControl::DataControl(QWidget *parent)
    : QWidget(parent)
    , m_listener(std::make_unique<DataControlListener>(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setFrameShape(QFrame::Panel);
    m_caption->setFrameShadow(QFrame::Sunken);
    m_caption->setMinimumWidth(60);
    m_caption->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    for (int i = 0; i < 4; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(Arrows[i].objectName));
        const QString name = QString::fromLatin1(Arrows[i].accessibleName);
        b->setAccessibleName(name);
        b->setToolTip(name);
        b->setFocusPolicy(Qt::TabFocus);
        switch (Arrows[i].action) {
        case DataAction::MoveFirst:
            b->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
            break;
        case DataAction::MovePrevious:
            b->setArrowType(Qt::LeftArrow);
            break;
        case DataAction::MoveNext:
            b->setArrowType(Qt::RightArrow);
            break;
        default:
            b->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
            break;
        }
        const DataAction action = Arrows[i].action;
        connect(b, &QToolButton::clicked, this, [this, action] { arrow(action); });
        m_buttons[i] = b;
    }
    layout->addWidget(m_buttons[0]);
    layout->addWidget(m_buttons[1]);
    layout->addWidget(m_caption, 1);
    layout->addWidget(m_buttons[2]);
    layout->addWidget(m_buttons[3]);

    // The window's guard runs on every pass of the mouse, also over the arrows
    // and the caption (which would otherwise take the moves themselves).
    setMouseTracking(true);
    installEventFilter(this);
    m_caption->setMouseTracking(true);
    m_caption->installEventFilter(this);
    for (QToolButton *b : m_buttons) {
        b->setMouseTracking(true);
        b->installEventFilter(this);
    }
}

DataControl::~DataControl()
{
    releaseRecordset();
}

void DataControl::releaseRecordset()
{
    if (m_recordset) {
        m_recordset->setListener(nullptr);
        m_recordset.reset();
    }
}

void DataControl::setCaption(const QString &caption)
{
    m_caption->setText(caption);
    m_caption->setAccessibleName(caption);
}

QString DataControl::caption() const
{
    return m_caption->text();
}

QToolButton *DataControl::button(int which) const
{
    return which >= 0 && which < 4 ? m_buttons[which] : nullptr;
}

// Enters an activity for its scope and returns to the one before; a change of
// row noted inside is handed to the enclosing action, which refills once.
class DataControl::ActivityScope
{
public:
    ActivityScope(DataControl *control, Activity activity) : m_control(control), m_outer(control->m_activity)
    {
        control->m_activity = activity;
    }
    ~ActivityScope()
    {
        if (!m_ended)
            m_control->m_activity = m_outer;
    }
    ActivityScope(const ActivityScope &) = delete;
    ActivityScope &operator=(const ActivityScope &) = delete;

    // Leaves the scope's activity; true when the row changed inside it and the
    // caller (having no enclosing action) must refill.
    bool end()
    {
        const bool changed = m_control->m_activity.rowChanged;
        m_control->m_activity = m_outer;
        m_ended = true;
        if (!changed)
            return false;
        using Kind = Activity::Kind;
        if (m_outer.kind == Kind::Writing || m_outer.kind == Kind::Acting) {
            m_control->m_activity.rowChanged = true;
            return false;
        }
        return true;
    }

private:
    DataControl *m_control;
    Activity m_outer;
    bool m_ended = false;
};

DataControlHandler &DataControl::handler() const
{
    static DataControlHandler defaults;
    return m_handler ? *m_handler : defaults;
}

bool DataControl::dataChanged() const
{
    // Typing flows into the pending row at once, so a row written by the
    // window's own Update has nothing changed any more.
    if (!m_badValues.empty())
        return true;
    return m_recordset && m_recordset->isOpen() && m_recordset->hasChangedValues();
}

bool DataControl::pendingChanges() const
{
    return !m_badValues.empty() || (m_recordset && m_recordset->isOpen() && m_recordset->editMode() != EditMode::None);
}

void DataControl::dropBadValues()
{
    m_badValues.clear();
}

bool DataControl::hasCurrentRow() const
{
    const Recordset *rs = m_recordset.get();
    if (!rs || !rs->isOpen())
        return false;
    return rs->editMode() == EditMode::Adding || (!rs->bof() && !rs->eof());
}

// ---- opening -----------------------------------------------------------------

void DataControl::refresh()
{
    // Re-pointing the control (another event) must not lose what was typed: the
    // changed row of the old source is written first; a failure is thrown to the
    // caller and the old rows and the typing stay.
    if (m_recordset && m_recordset->isOpen() && pendingChanges()) {
        if (!m_badValues.empty())
            throw m_badValues.begin()->second;
        if (m_recordset->editMode() != EditMode::None) {
            ActivityScope writing(this, {Activity::Kind::Writing});
            m_recordset->updateWithoutNotify();
        }
    }

    std::shared_ptr<Database> db = Database::sharedByDesk(m_databaseName, m_desk);
    auto rs = std::make_unique<Recordset>(db, m_recordSource); // opens on its first row
    releaseRecordset();
    m_recordset = std::move(rs);
    m_recordset->setListener(m_listener.get());
    dropBadValues();
    emit recordsetOpened(m_recordset.get());
    updateControls();
    emit reposition();
}

// ---- binding -----------------------------------------------------------------

void DataControl::bind(QWidget *widget, const QString &field)
{
    if (!widget)
        return;
    for (Binding &b : m_bindings) {
        if (b.widget == widget) {
            b.field = field;
            return;
        }
    }
    m_bindings.append(Binding {widget, field});
    if (auto *date = qobject_cast<QDateTimeEdit *>(widget))
        makeNullable(date);
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        keepOneLine(edit);
    else if (auto *combo = qobject_cast<QComboBox *>(widget))
        keepOneLine(combo->lineEdit());
    connectEdits(widget);
    if (hasCurrentRow()) {
        QVariant value;
        ignoreErrors([&] { value = m_recordset->value(field); });
        ActivityScope filling(this, {Activity::Kind::Filling});
        fillWidget(widget, value);
    }
}

QString DataControl::boundField(QWidget *widget) const
{
    const Binding *b = bindingOf(widget);
    return b ? b->field : QString();
}

const DataControl::Binding *DataControl::bindingOf(const QWidget *widget) const
{
    for (const Binding &b : m_bindings) {
        if (b.widget == widget)
            return &b;
    }
    return nullptr;
}

void DataControl::connectEdits(QWidget *widget)
{
    // Only the user's edits mark data changed: the window's code that rewrites a
    // list or a caption must not make a row "changed".
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { markChanged(edit); });
    } else if (auto *text = qobject_cast<QPlainTextEdit *>(widget)) {
        connect(text, &QPlainTextEdit::textChanged, this, [this, text] { markChanged(text); });
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        connect(combo, &QComboBox::activated, this, [this, combo] { markChanged(combo); });
        // Text cleaned on its way in (a paste with a line break) resets the modified
        // flag below; the edit itself is the user's all the same.
        if (QLineEdit *edit = combo->lineEdit())
            connect(edit, &QLineEdit::textEdited, this, [this, combo] { markChanged(combo); });
        // Followed through the combo itself, so a combo made editable after binding
        // still writes what is typed; the line edit's modified flag tells typing
        // from code (setEditText clears it).
        connect(combo, &QComboBox::editTextChanged, this, [this, combo] {
            if (combo->lineEdit() && combo->lineEdit()->isModified())
                markChanged(combo);
        });
    } else if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        connect(check, &QCheckBox::clicked, this, [this, check] { markChanged(check); });
    } else if (auto *date = qobject_cast<QDateTimeEdit *>(widget)) {
        connect(date, &QDateTimeEdit::dateTimeChanged, this, [this, date] { markChanged(date); });
    }
}

void DataControl::markChanged(QWidget *widget)
{
    if (m_activity.kind == Activity::Kind::Filling)
        return;
    storeValue(widget, widgetValue(widget));
}

void DataControl::setBoundValue(QWidget *widget, const QVariant &value)
{
    {
        ActivityScope filling(this, {Activity::Kind::Filling});
        fillWidget(widget, value);
    }
    storeValue(widget, value);
}

void DataControl::storeValue(QWidget *widget, const QVariant &value)
{
    const Binding *b = bindingOf(widget);
    if (!b || !hasCurrentRow())
        return;
    Recordset *rs = m_recordset.get();
    try {
        // The row enters its edit at once, even when the value does not convert.
        if (rs->editMode() == EditMode::None)
            rs->edit();
        rs->setValue(b->field, value);
        m_badValues.erase(b->field);
    } catch (const AppError &e) {
        // Letters in an amount, a set that accepts no changes: the text stays in
        // the box, and writing the row reports it, so the typing is not lost.
        m_badValues.insert_or_assign(b->field, e);
    }
}

// ---- filling -----------------------------------------------------------------

void DataControl::lookAgain()
{
    Recordset *rs = m_recordset.get();
    if (!rs || !rs->isOpen() || m_activity.kind != Activity::Kind::Idle)
        return;
    // An edit begun with nothing in it yet (a field written back unchanged) holds no typing.
    if (m_badValues.empty() && rs->editMode() == EditMode::Editing && !rs->hasChangedValues())
        rs->cancelUpdate();
    const bool moved = rs->takeInChanges();
    const bool refill = !pendingChanges();
    if (refill)
        updateControls();
    emit rowsRefreshed(refill);
    if (moved)
        emit reposition();
}

void DataControl::updateControls()
{
    const bool current = hasCurrentRow();
    {
        ActivityScope filling(this, {Activity::Kind::Filling});
        for (const Binding &b : std::as_const(m_bindings)) {
            if (!b.widget)
                continue;
            QVariant value;
            if (current)
                ignoreErrors([&] { value = m_recordset->value(b.field); });
            fillWidget(b.widget, value);
        }
    }
    dropBadValues();
}

void DataControl::fillWidget(QWidget *widget, const QVariant &value)
{
    const QString text = BoundValue::toText(value);
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
        if (plain->toPlainText() != text)
            plain->setPlainText(text);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        const int index = combo->findText(text, Qt::MatchExactly);
        combo->setCurrentIndex(index);
        if (combo->isEditable() && combo->currentText() != text)
            combo->setEditText(text);
    } else if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        check->setChecked(value.toBool());
    } else if (auto *date = qobject_cast<QDateTimeEdit *>(widget)) {
        makeNullable(date);
        const QDate day = value.toDate();
        date->setDate(day.isValid() ? day : date->minimumDate());
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        label->setText(text);
    }
}

QVariant DataControl::widgetValue(QWidget *widget) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit->text();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
        return textInput::multiLine(plain->toPlainText());
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentText();
    if (auto *check = qobject_cast<QCheckBox *>(widget))
        return check->isChecked();
    if (auto *date = qobject_cast<QDateTimeEdit *>(widget)) {
        if (date->date() == date->minimumDate() && !date->specialValueText().isEmpty())
            return QVariant();
        return date->date();
    }
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    return QVariant();
}

void DataControl::refill()
{
    updateControls();
    emit reposition();
}

// ---- actions -----------------------------------------------------------------

bool DataControl::beforeAction(DataAction action)
{
    return runAction(action, true);
}

bool DataControl::runAction(DataAction action, bool fromRecordset)
{
    // Our own write inside another action, or a later step of the action in hand.
    if (m_activity.kind == Activity::Kind::Writing || (m_activity.kind == Activity::Kind::Acting && m_activity.validated))
        return true;

    Recordset *rs = m_recordset.get();
    const bool acting = m_activity.kind == Activity::Kind::Acting;
    const DataControlHandler::Decision decision = handler().validate(acting ? m_activity.action : action,
                                                                     pendingChanges());
    if (!decision.proceed)
        return false;
    if (acting)
        m_activity.validated = true;

    if (fromRecordset && action == DataAction::Update) {
        // The caller's own Update writes the row; a value that could not be put
        // into it stops the write and is thrown to the caller.
        if (!decision.save) {
            // The handler chose not to keep the changes: the stored row shows again
            // (a dropped new row: the recordset tells us of the row before it).
            dropBadValues();
            if (rs && rs->editMode() == EditMode::Adding) {
                rs->cancelUpdate();
            } else {
                if (rs && rs->editMode() == EditMode::Editing)
                    rs->cancelUpdate();
                refill();
            }
            return false;
        }
        if (!m_badValues.empty())
            throw m_badValues.begin()->second;
        return true;
    }

    if (action == DataAction::Delete) {
        // The row is going away: nothing to write. A pending edit stays until the
        // delete succeeds, so a refused delete loses no typing.
        return true;
    }
    if (!decision.save) {
        // The handler chose not to keep the changes.
        if (rs && rs->editMode() != EditMode::None)
            rs->cancelUpdate();
        dropBadValues();
        return true;
    }
    return writeRow();
}

bool DataControl::writeRow()
{
    Recordset *rs = m_recordset.get();
    if (!m_badValues.empty())
        return reportError(m_badValues.begin()->second);
    if (!rs || rs->editMode() == EditMode::None)
        return true;
    ActivityScope writing(this, {Activity::Kind::Writing});
    try {
        rs->updateWithoutNotify(); // validated already
    } catch (const AppError &e) {
        writing.end();
        return reportError(e);
    }
    // A saved new row is appended and made current: the enclosing action refills
    // once; on its own (inside the recordset's hook) the recordset reports the move.
    writing.end();
    return true;
}

bool DataControl::reportError(const AppError &error)
{
    if (handler().error(error) == DataControlHandler::ErrorResponse::ShowMessage)
        Dialogs::instance().message(this, error.description(), Dialogs::applicationTitle(), MsgButtons::Ok,
                                    MsgIcon::Exclamation);
    return false;
}

void DataControl::currentChanged()
{
    switch (m_activity.kind) {
    case Activity::Kind::Writing:
    case Activity::Kind::Acting:
        // One action may move several times (off the end and back): one refill at its end.
        m_activity.rowChanged = true;
        return;
    case Activity::Kind::Filling:
        return;
    case Activity::Kind::Idle:
        refill();
        return;
    }
}

void DataControl::arrow(DataAction action)
{
    Recordset *rs = m_recordset.get();
    if (!rs || !rs->isOpen())
        return;
    if (rs->recordCount() == 0) {
        // No stored row to go to; a new row being added is saved, and shown.
        if (rs->editMode() == EditMode::Adding)
            saveChanges(action);
        return;
    }
    ActivityScope acting(this, {Activity::Kind::Acting, action});
    try {
        switch (action) {
        case DataAction::MoveFirst:
            rs->moveFirst();
            break;
        case DataAction::MoveLast:
            rs->moveLast();
            break;
        case DataAction::MoveNext:
            // Past the last row the arrow stays on the last row; standing after the
            // end (the last row was deleted, or a new row was started there) it
            // leads back to the rows.
            if (rs->eof()) {
                rs->moveLast();
            } else {
                rs->moveNext();
                if (rs->eof() && rs->recordCount() > 0)
                    rs->moveLast();
            }
            break;
        case DataAction::MovePrevious:
            if (rs->bof()) {
                rs->moveFirst();
            } else {
                rs->movePrevious();
                if (rs->bof() && rs->recordCount() > 0)
                    rs->moveFirst();
            }
            break;
        default:
            break;
        }
    } catch (const AppError &e) {
        reportError(e);
    } catch (const std::exception &e) {
        reportError(AppError(DataError::Generic, QStringLiteral("Quorvex database"), QString::fromLocal8Bit(e.what())));
    }
    if (acting.end())
        refill();
}

bool DataControl::saveChanges(DataAction action)
{
    if (!m_recordset || !m_recordset->isOpen())
        return true;
    ActivityScope acting(this, {Activity::Kind::Acting, action});
    const bool ok = runAction(action, false);
    if (acting.end())
        refill();
    return ok;
}

bool DataControl::unload()
{
    return saveChanges(DataAction::Unload);
}

bool DataControl::deleteCurrentAndMove(AfterLastRow afterLast)
{
    Recordset *rs = m_recordset.get();
    if (!rs || !rs->isOpen())
        throw DataError::make(DataError::NoCurrentRecord);
    if (!(rs->bof() && rs->eof())) {
        const int before = rs->recordCount();
        const qint64 key = rs->currentKey();
        rs->deleteRow(); // validated under Delete; the typing goes with the row
        if (rs->recordCount() == before)
            return false; // the handler kept the row
        emit rowDeleted(key);
    }
    if (rs->eof()) {
        if (!rs->bof())
            rs->movePrevious();
    } else {
        rs->moveNext();
        if (afterLast == AfterLastRow::ShowLastRow && rs->eof() && rs->recordCount() > 0)
            rs->moveLast();
    }
    // Nothing to move to (the set is empty) or after its end: nothing of the
    // deleted row stays in the widgets, and the window is told.
    if (!hasCurrentRow())
        refill();
    return true;
}

void DataControl::cancelChanges()
{
    Recordset *rs = m_recordset.get();
    if (!rs || !rs->isOpen())
        return;
    dropBadValues();
    if (rs->editMode() == EditMode::Adding) {
        // The row before the new one is current again; the recordset tells us,
        // and the boxes are refilled from it.
        ignoreErrors([&] { rs->cancelUpdate(); });
        return;
    }
    // Read the stored row again (cancelUpdate of an edit re-reads it), so that
    // after a write conflict the user sees what the other workstation saved.
    {
        // A re-read of the row we stay on: no validate, one refill below.
        ActivityScope rereading(this, {Activity::Kind::Writing});
        ignoreErrors([&] {
            if (rs->editMode() == EditMode::Editing)
                rs->cancelUpdate();
            else if (rs->absolutePosition() >= 0)
                rs->setAbsolutePosition(rs->absolutePosition());
        });
    }
    refill();
}

// ---- mouse ------------------------------------------------------------------

void DataControl::mouseMoveEvent(QMouseEvent *event)
{
    // Reported by the event filter, which sees the moves also while disabled.
    QWidget::mouseMoveEvent(event);
}

bool DataControl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        emit mouseMoved();
        // A plain pass over an arrow or the caption stops there, so the control
        // does not report it twice.
        if (watched != this && static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}
