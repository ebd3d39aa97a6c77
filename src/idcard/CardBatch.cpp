#include "CardBatch.h"

#include "AttendeeCard.h"
#include "CardPhoto.h"
#include "CardPrint.h"
#include "PrinterCalibration.h"
#include "core/AppError.h"
#include "core/ModGen.h"
#include "data/CardPrintLog.h"
#include "data/Database.h"
#include "data/WriteTransaction.h"
#include "session/CardDesignLoader.h"

#include <QPainter>
#include <QPrinter>
#include <QSqlRecord>

#include <algorithm>
#include <deque>
#include <future>

namespace {

// A photo is decoded for the page at this resolution at most, as the single
// card prints it: sharp on a card printer, small and quick in a PDF.
constexpr double PhotoDpi = 300.0;
// Photos decoded ahead of the card being drawn.
constexpr std::size_t PhotosAhead = 3;

AppError printerError(const QPrinter &printer)
{
    const QString where = printer.outputFormat() == QPrinter::PdfFormat
        ? QStringLiteral("the file \"%1\"").arg(printer.outputFileName())
        : QStringLiteral("the printer \"%1\"").arg(printer.printerName());
    return AppError(-1, QStringLiteral("Print Cards"),
                    QStringLiteral("The cards could not be sent to %1. Check that it is there (and the folder "
                                   "can be written), then print again.")
                        .arg(where));
}

} // namespace

CardBatch::CardBatch(Database &db, PhotoStore &photos, const QString &appFolder, const CardLayout &layout,
                     std::optional<CardSheet::Paper> sheet)
    : m_db(db), m_photos(photos), m_appFolder(appFolder), m_layout(layout)
{
    if (sheet)
        m_sheet.emplace(*sheet, layout.twips);
}

void CardBatch::recordPrinted(Database &db, const QList<qint64> &keys, const QString &cardSize, const QString &printer)
{
    const QString desk = modGen::getMachineName();
    WriteTransaction write(db);
    for (const qint64 key : keys)
        CardPrintLog::record(db, key, cardSize, printer, desk);
    write.commit();
}

CardBatch::Result CardBatch::print(QPrinter &printer, const QList<qint64> &keys)
{
    Result result;
    if (m_sheet)
        CardPrint::setUpSheet(printer, *m_sheet);
    else
        CardPrint::setUpPage(printer, m_layout.twips);
    const PrinterCalibration calibration = PrinterCalibration::of(printer);

    CardFace design;
    CardDesignLoader::read(design, m_appFolder);
    const int perPage = m_sheet ? m_sheet->perSheet() : 1;
    if (perPage < 1)
        throw AppError(-1, QStringLiteral("Print Cards"),
                       QStringLiteral("The card does not fit on a sheet of %1. Choose one card per page.")
                           .arg(CardSheet::paperName(m_sheet->paper())));

    QPainter painter;
    if (!keys.isEmpty() && !painter.begin(&printer))
        throw printerError(printer);
    const double dpiX = printer.logicalDpiX();
    const double dpiY = printer.logicalDpiY();
    const double photoDpiX = std::min(PhotoDpi, dpiX);
    const double photoDpiY = std::min(PhotoDpi, dpiY);
    const QString sql = QStringLiteral("SELECT %1 FROM Attendees WHERE AttendeeID = ?").arg(AttendeeCard::selectFields());

    // The rows are read here, in key order, on this thread's connection; the
    // photos of the next few cards are decoded meanwhile on other threads (the
    // decoding is most of a card's cost). At most PhotosAhead wait, so memory
    // stays flat over any batch.
    const QSize photoSize = CardPhoto::largestBox(photoDpiX, photoDpiY);
    struct Ahead
    {
        QSqlRecord row;
        std::future<QImage> photo;
    };
    std::deque<Ahead> ahead;
    qsizetype next = 0;
    const auto readAhead = [&] {
        while (next < keys.size() && ahead.size() < PhotosAhead) {
            Ahead card;
            m_db.reading([&] {
                QSqlQuery &query = m_db.select(sql, {keys.at(next)});
                if (query.next())
                    card.row = query.record();
                query.finish();
            });
            ++next;
            if (card.row.isEmpty()) {
                ++result.missing; // deleted by another desk since it was chosen
                continue;
            }
            card.photo = std::async(std::launch::async, [file = AttendeeCard::photoFile(card.row, m_photos), photoSize] {
                return CardPhoto::load(file, photoSize);
            });
            ahead.push_back(std::move(card));
        }
    };

    QList<qint64> onPage;
    const auto finishPage = [&] {
        if (onPage.isEmpty())
            return;
        ++result.pages;
        if (pageDone)
            pageDone(onPage);
        onPage.clear();
    };
    try {
        while (true) {
            readAhead();
            if (ahead.empty())
                break;
            if (keepGoing && !keepGoing(result.drawn)) {
                result.stopped = true;
                break;
            }
            Ahead card = std::move(ahead.front());
            ahead.pop_front();
            const CardFace face = AttendeeCard::fromRow(card.row, design, card.photo.get());
            if (onPage.size() == perPage) {
                finishPage();
                if (!printer.newPage())
                    throw printerError(printer);
            }
            if (onPage.isEmpty())
                CardPrint::beginPage(painter, printer, calibration);
            if (m_sheet) {
                const QRectF mm = m_sheet->cardRectMm(int(onPage.size()));
                const QRectF cardRect(mm.x() * dpiX / 25.4, mm.y() * dpiY / 25.4, mm.width() * dpiX / 25.4,
                                      mm.height() * dpiY / 25.4);
                CardPrint::paintCard(painter, m_layout, face, cardRect.topLeft(), dpiX, dpiY);
                CardSheet::paintCropMarks(painter, cardRect, dpiX, dpiY);
            } else {
                CardPrint::paintCard(painter, m_layout, face, QPointF(0, 0), dpiX, dpiY);
            }
            onPage.append(card.row.value(QStringLiteral("AttendeeID")).toLongLong());
            ++result.drawn;
        }
        finishPage();
    } catch (...) {
        // What was drawn and recorded still goes out: the record says it was printed.
        if (painter.isActive())
            painter.end();
        throw;
    }
    if (painter.isActive() && !painter.end())
        throw printerError(printer);
    return result;
}
