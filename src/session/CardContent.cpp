#include "CardContent.h"

CardContent::CardContent(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("cardContent"));
}

void CardContent::setFace(const CardFace &face)
{
    m_face = face;
    emit changed();
}

void CardContent::setText(QString &field, const QString &text)
{
    if (field == text)
        return;
    field = text;
    emit changed();
}

void CardContent::setHeader(int index, const QString &text)
{
    if (index == 0 || index == 1)
        setText(m_face.header[index], text);
}

void CardContent::setName(int index, const QString &text)
{
    if (index == 0 || index == 1)
        setText(m_face.name[index], text);
}

void CardContent::setOffice(const QString &text)
{
    setText(m_face.office, text);
}

void CardContent::setChapter(const QString &text)
{
    setText(m_face.chapter, text);
}

void CardContent::setCode(const QString &text)
{
    setText(m_face.code, text);
}

void CardContent::setShowCode(bool show)
{
    if (m_face.showCode == show)
        return;
    m_face.showCode = show;
    emit changed();
}

void CardContent::setLogo(const QImage &logo)
{
    m_face.logo = logo;
    emit changed();
}

void CardContent::setColor(quint32 color)
{
    if (m_face.color == color)
        return;
    m_face.color = color;
    emit changed();
}

void CardContent::setPhoto(const QImage &photo, const QString &path)
{
    // Pictures are not compared pixel by pixel: the same image (or none twice) is enough.
    if (photo.cacheKey() == m_face.photo.cacheKey() && path == m_face.photoPath)
        return;
    m_face.photo = photo;
    m_face.photoPath = path;
    emit changed();
}
