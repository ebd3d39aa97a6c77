#pragma once

#include "CardFace.h"

#include <QObject>

// The card content of the current attendee: one object, owned by the
// registration window, that every card (the miniature and both card windows)
// observes and every keeper writes (the record display, typing, the office
// list, the snap, the design clicks). A write that changes nothing is not
// announced, so a record move repaints only what moved.
class CardContent : public QObject
{
    Q_OBJECT
public:
    explicit CardContent(QObject *parent = nullptr);

    const CardFace &face() const { return m_face; }
    void setFace(const CardFace &face);

    void setHeader(int index, const QString &text); // 0 or 1; others are ignored
    void setLogo(const QImage &logo);
    void setColor(quint32 color);
    void setName(int index, const QString &text);   // 0 first name, 1 last name; others are ignored
    void setOffice(const QString &text);
    void setChapter(const QString &text);
    // The photo shown and its stored relative path; a null image and an empty path for none.
    void setPhoto(const QImage &photo, const QString &path);
    // The attendee's code text (empty for none) and the design's choice to show it.
    void setCode(const QString &text);
    void setShowCode(bool show);

signals:
    void changed();

private:
    void setText(QString &field, const QString &text);

    CardFace m_face;
};
