#include "DuplicateIndex.h"

namespace {

QString folded(const QString &text)
{
    // Most names are plain ASCII: no accents to take off, nothing to decompose.
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    const QString decomposed = ascii ? text : text.normalized(QString::NormalizationForm_KD);
    QString plain;
    plain.reserve(decomposed.size());
    bool blank = false;
    for (const QChar c : decomposed) {
        if (c.isMark())
            continue;
        if (c.isSpace()) {
            blank = !plain.isEmpty();
            continue;
        }
        if (blank)
            plain += u' ';
        blank = false;
        plain += c.toCaseFolded();
    }
    return plain;
}

} // namespace

QString DuplicateIndex::emailKey(const QString &email)
{
    return email.trimmed().toCaseFolded();
}

QString DuplicateIndex::nameKey(const QString &firstName, const QString &lastName)
{
    const QString first = folded(firstName);
    const QString last = folded(lastName);
    if (first.isEmpty() && last.isEmpty())
        return {};
    return first + u'\x1f' + last;
}

void DuplicateIndex::add(qint64 key, const QString &email, const QString &firstName, const QString &lastName)
{
    const QString mail = emailKey(email);
    const QString name = nameKey(firstName, lastName);
    if (!mail.isEmpty()) {
        if (!m_byEmail.contains(mail))
            m_byEmail.insert(mail, key);
        if (!name.isEmpty())
            m_byNameWithEmail.insert(name, key);
    } else if (!name.isEmpty() && !m_byNameWithoutEmail.contains(name)) {
        m_byNameWithoutEmail.insert(name, key);
    }
}

qint64 DuplicateIndex::find(const QString &email, const QString &firstName, const QString &lastName) const
{
    const QString mail = emailKey(email);
    if (!mail.isEmpty())
        if (const auto found = m_byEmail.constFind(mail); found != m_byEmail.constEnd())
            return found.value();
    const QString name = nameKey(firstName, lastName);
    if (name.isEmpty())
        return -1;
    if (const auto found = m_byNameWithoutEmail.constFind(name); found != m_byNameWithoutEmail.constEnd())
        return found.value();
    if (mail.isEmpty()) {
        // The row has no address: the first attendee of that name is the one.
        const QList<qint64> keys = m_byNameWithEmail.values(name);
        if (!keys.isEmpty())
            return *std::min_element(keys.cbegin(), keys.cend());
    }
    return -1;
}
