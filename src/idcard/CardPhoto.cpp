#include "CardPhoto.h"

#include "CardLayout.h"
#include "core/ModGen.h"
#include "core/Twips.h"
#include "session/CardFace.h"

#include <QImageReader>

namespace CardPhoto {

QSize largestBox(double dpiX, double dpiY)
{
    // The tables are built once; a record move only scales their boxes.
    static const QList<QSize> boxes = [] {
        QList<QSize> twips;
        for (const CardLayout &layout : {CardLayout::miniature(), CardLayout::card3x4(), CardLayout::card2x35()}) {
            if (const CardElement *box = layout.element(QStringLiteral("imgPic")))
                twips.append(box->twips.size());
        }
        return twips;
    }();
    QSize largest;
    for (const QSize &twips : boxes) {
        const QSize size = Twips::toPixelSize(twips, dpiX, dpiY);
        if (size.width() * size.height() > largest.width() * largest.height())
            largest = size;
    }
    return largest;
}

QImage load(const QString &file, const QSize &size)
{
    if (file.isEmpty() || !modGen::fileExists(file))
        return QImage();
    QImageReader reader(file);
    if (size.isValid())
        reader.setScaledSize(size);
    return CardFace::drawable(reader.read());
}

} // namespace CardPhoto
