#include "CardSheet.h"

#include "core/Twips.h"

#include <QPainter>
#include <QPen>

#include <cmath>

namespace {

int fitting(double room, double card)
{
    // n cards take n * card + (n - 1) * gap.
    return std::max(0, int(std::floor((room - 2 * CardSheet::MarginMm + CardSheet::GapMm) / (card + CardSheet::GapMm))));
}

} // namespace

CardSheet::CardSheet(Paper paper, const QSize &cardTwips)
    : m_paper(paper)
    , m_id(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter)
    , m_cardMm(cardTwips.width() / Twips::perInch * 25.4, cardTwips.height() / Twips::perInch * 25.4)
{
    const QSizeF portrait = QPageSize(m_id).size(QPageSize::Millimeter);
    const int upright = fitting(portrait.width(), m_cardMm.width()) * fitting(portrait.height(), m_cardMm.height());
    const int turned = fitting(portrait.height(), m_cardMm.width()) * fitting(portrait.width(), m_cardMm.height());
    if (turned > upright) {
        m_orientation = QPageLayout::Landscape;
        m_pageMm = portrait.transposed();
    } else {
        m_pageMm = portrait;
    }
    m_columns = fitting(m_pageMm.width(), m_cardMm.width());
    m_rows = fitting(m_pageMm.height(), m_cardMm.height());
}

bool CardSheet::paperFromName(const QString &name, Paper &paper)
{
    if (name.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0)
        paper = Paper::A4;
    else if (name.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0)
        paper = Paper::Letter;
    else
        return false;
    return true;
}

QString CardSheet::paperName(Paper paper)
{
    return paper == Paper::A4 ? QStringLiteral("A4") : QStringLiteral("Letter");
}

QPageSize CardSheet::pageSize() const
{
    return QPageSize(m_id);
}

QRectF CardSheet::cardRectMm(int index) const
{
    const double gridWidth = m_columns * m_cardMm.width() + (m_columns - 1) * GapMm;
    const double gridHeight = m_rows * m_cardMm.height() + (m_rows - 1) * GapMm;
    const double left = (m_pageMm.width() - gridWidth) / 2;
    const double top = (m_pageMm.height() - gridHeight) / 2;
    const int column = index % std::max(1, m_columns);
    const int row = index / std::max(1, m_columns);
    return QRectF(QPointF(left + column * (m_cardMm.width() + GapMm), top + row * (m_cardMm.height() + GapMm)),
                  m_cardMm);
}

void CardSheet::paintCropMarks(QPainter &painter, const QRectF &card, double dpiX, double dpiY)
{
    const double mmX = dpiX / 25.4;
    const double mmY = dpiY / 25.4;
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(MarkWidthMm * mmX);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const double nearX = MarkOffsetMm * mmX, farX = (MarkOffsetMm + MarkLengthMm) * mmX;
    const double nearY = MarkOffsetMm * mmY, farY = (MarkOffsetMm + MarkLengthMm) * mmY;
    for (const QPointF &corner : {card.topLeft(), card.topRight(), card.bottomLeft(), card.bottomRight()}) {
        const double outX = corner.x() == card.left() ? -1 : 1;
        const double outY = corner.y() == card.top() ? -1 : 1;
        // The horizontal edge goes on sideways, the vertical edge up or down.
        painter.drawLine(QPointF(corner.x() + outX * nearX, corner.y()), QPointF(corner.x() + outX * farX, corner.y()));
        painter.drawLine(QPointF(corner.x(), corner.y() + outY * nearY), QPointF(corner.x(), corner.y() + outY * farY));
    }
    painter.restore();
}
