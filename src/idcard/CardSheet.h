#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

// Cards laid out on a sheet of office paper (A4 or Letter) for cutting: as many
// as fit inside a margin the printer can reach, with a gap between them for the
// crop marks, the grid centred on the page and the page turned when that fits
// more. Millimetres throughout; the card keeps its true size.
class CardSheet
{
public:
    enum class Paper { A4, Letter };

    CardSheet(Paper paper, const QSize &cardTwips);

    // "A4" or "Letter" in any letter case; false for any other text.
    static bool paperFromName(const QString &name, Paper &paper);
    static QString paperName(Paper paper);

    Paper paper() const { return m_paper; }
    QPageSize pageSize() const;
    QPageLayout::Orientation orientation() const { return m_orientation; }
    // The page's extent as printed (turned when landscape), in millimetres.
    QSizeF pageMm() const { return m_pageMm; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int perSheet() const { return m_columns * m_rows; }
    // Where the card at `index` (0 to perSheet() - 1, row by row) lies, in
    // millimetres from the page's top-left corner.
    QRectF cardRectMm(int index) const;

    // Crop marks at the four corners of the card at `cardRect` (device pixels on a
    // device of this resolution): short lines that go on from each edge of the
    // card, starting a little away from its corner, so they are seen after the
    // card is cut and never print on it.
    static void paintCropMarks(QPainter &painter, const QRectF &cardRect, double dpiX, double dpiY);

    static constexpr double MarginMm = 10;     // what most office printers reach
    static constexpr double GapMm = 6;         // between cards, for the marks
    static constexpr double MarkOffsetMm = 1;  // from the card's corner to the mark
    static constexpr double MarkLengthMm = 4;  // the marks of two neighbours meet in the gap
    static constexpr double MarkWidthMm = 0.2;

private:
    Paper m_paper;
    QPageSize::PageSizeId m_id;
    QSizeF m_cardMm;
    QSizeF m_pageMm;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    int m_columns = 0;
    int m_rows = 0;
};
