#include "idcard/CardItem.h"
#include "idcard/CardLayout.h"
#include "idcard/CardPainter.h"
#include "idcard/CardWidget.h"

#include <QAccessible>
#include <QFontInfo>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTextItem>

#include <cmath>

namespace {

// One row of the miniature's table, written out here independently of the code.
struct Row
{
    const char *name;
    QRect twips;
    const char *toolTip;
};

const Row MiniatureTable[] = {
    {"lblHeader_0", {120, 120, 2415, 150}, "Click to add header 1"},
    {"lblHeader_1", {510, 240, 1455, 150}, "Click to add a Header Line 2"},
    {"ImgLogo", {165, 360, 465, 420}, "Click to Add a Logo"},
    {"imgPic", {1845, 435, 735, 855}, ""},
    {"lblName_0", {165, 840, 1455, 135}, ""},
    {"lblName_1", {165, 960, 1455, 135}, ""},
    {"lblOffice", {165, 1080, 1455, 135}, ""},
    {"lblChap", {165, 1320, 1455, 135}, ""},
};

// Pixels of a twips rectangle at a resolution, edges rounded (1440 twips to the inch).
QRect scaled(const QRect &t, double dpiX, double dpiY)
{
    auto px = [](double twips, double dpi) { return int(std::lround(twips * dpi / 1440.0)); };
    const int l = px(t.left(), dpiX), r = px(t.left() + t.width(), dpiX);
    const int top = px(t.top(), dpiY), b = px(t.top() + t.height(), dpiY);
    return QRect(l, top, r - l, b - top);
}

QPixmap solid(const QColor &color, int w = 8, int h = 8)
{
    QPixmap p(w, h);
    p.fill(color);
    return p;
}

bool isDark(QRgb c)
{
    return qRed(c) < 110 && qGreen(c) < 110 && qBlue(c) < 110;
}

// Counts pixels of `image` inside `box` for which `test` holds.
template<typename F>
int countPixels(const QImage &image, const QRectF &box, F test)
{
    int n = 0;
    const QRect r = box.toAlignedRect().intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (test(image.pixel(x, y)))
                ++n;
    return n;
}

QImage imageAtDpi(const QSize &size, double dpi)
{
    QImage image(size, QImage::Format_ARGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    return image;
}

// A paint device that records what a painter draws, to tell text drawn as
// text from text drawn as pixels, and to see where pictures land.
class RecordingEngine : public QPaintEngine
{
public:
    struct Text
    {
        QPointF baseline; // on the device
        QString text;
        QFont font;
        double xScale;    // horizontal scale of the painter's transform
    };
    struct Picture
    {
        QRectF target;
        qint64 key;
    };

    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyTransform)
            transform = state.transform();
    }
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &) override { pictures.append({r, pm.cacheKey()}); }
    void drawImage(const QRectF &r, const QImage &, const QRectF &, Qt::ImageConversionFlags) override
    {
        ++images;
        pictures.append({r, 0});
    }
    void drawTextItem(const QPointF &p, const QTextItem &ti) override
    {
        texts.append({transform.map(p), ti.text(), ti.font(), transform.m11()});
    }
    void drawEllipse(const QRectF &r) override { ellipses.append(r); }
    void drawRects(const QRectF *, int) override {}
    void drawRects(const QRect *, int) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawLines(const QLineF *, int) override {}
    Type type() const override { return QPaintEngine::User; }

    QList<Text> texts;
    QList<Picture> pictures;
    QList<QRectF> ellipses;
    int images = 0;
    QTransform transform;
};

class RecordingDevice : public QPaintDevice
{
public:
    RecordingDevice(QSize size, int dpi) : m_size(size), m_dpi(dpi) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }
    RecordingEngine &engine() const { return m_engine; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return m_size.width();
        case PdmHeight: return m_size.height();
        case PdmWidthMM: return int(m_size.width() * 25.4 / m_dpi);
        case PdmHeightMM: return int(m_size.height() * 25.4 / m_dpi);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return m_dpi;
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QSize m_size;
    int m_dpi;
    mutable RecordingEngine m_engine;
};

} // namespace

class TestCardWidget : public QObject
{
    Q_OBJECT

private slots:
    void miniatureItemsFollowTheTableAtTheScreensResolution();
    void settersShowInItemsAndContent();
    void paintingPutsColourTextAndPicturesInTheirBoxes();
    void textIsDrawnAsTextAtTruePointSize();
    void cardWindowLayoutsDrawTheirFixedMarks();
    void clicksAndKeysRaiseTheCardsCommands();
};

void TestCardWidget::miniatureItemsFollowTheTableAtTheScreensResolution()
{
    CardWidget card(CardLayout::miniature());
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));

    QCOMPARE(card.objectName(), QStringLiteral("fraID"));
    QCOMPARE(card.toolTip(), QStringLiteral("Click to change the color of the ID"));
    QCOMPARE(card.color(), quint32(224 + 256 * 224 + 65536 * 224));
    const double dpiX = card.logicalDpiX();
    const double dpiY = card.logicalDpiY();
    QCOMPARE(card.sizeHint(), scaled(QRect(0, 0, 2655, 1575), dpiX, dpiY).size());

    QCOMPARE(card.findChildren<CardItem *>().size(), int(std::size(MiniatureTable)));
    for (const Row &row : MiniatureTable) {
        const QString name = QString::fromLatin1(row.name);
        auto *item = card.findChild<CardItem *>(name);
        QVERIFY2(item, row.name);
        QCOMPARE(card.item(name), item);
        QCOMPARE(item->geometry(), scaled(row.twips, dpiX, dpiY));
        QCOMPARE(item->toolTip(), QString::fromLatin1(row.toolTip));
        QVERIFY2(!item->testAttribute(Qt::WA_TransparentForMouseEvents), row.name);
        const CardElement &e = item->element();
        if (e.kind == CardElement::Text) {
            QCOMPARE(e.fontFamily, QStringLiteral("MS Serif"));
            QCOMPARE(e.pointSize, 6.0);
            // "MS Serif" is a Windows font: the request falls back to an installed serif face.
            QCOMPARE(e.font().styleHint(), QFont::Serif);
            QVERIFY(!QFontInfo(e.font()).family().isEmpty());
        }
    }
    const CardLayout layout = CardLayout::miniature();
    QCOMPARE(layout.element("lblHeader_0")->textColor, QColor(0, 0, 64));
    QCOMPARE(layout.element("lblHeader_1")->textColor, QColor(0, 0, 64));
    QVERIFY(layout.element("lblHeader_1")->align & Qt::AlignHCenter);
    QVERIFY(!(layout.element("lblName_1")->align & Qt::AlignHCenter));
    QVERIFY(layout.element("imgPic")->border);
    QVERIFY(!layout.element("ImgLogo")->border);
    QCOMPARE(layout.element("nothing"), nullptr);

    // At 96 dots per inch every box is a whole number of pixels (15 twips each).
    if (dpiX == 96 && dpiY == 96)
        QCOMPARE(card.item("lblName_1")->geometry(), QRect(11, 64, 97, 9));
}

void TestCardWidget::settersShowInItemsAndContent()
{
    CardWidget card(CardLayout::miniature());
    QCOMPARE(card.accessibleName(), QStringLiteral("ID card"));
    QCOMPARE(card.focusPolicy(), Qt::StrongFocus);

    // Empty items are named by their tooltip, else by their object name.
    QCOMPARE(card.item("ImgLogo")->accessibleName(), QStringLiteral("Click to Add a Logo"));
    QCOMPARE(card.item("lblName_1")->accessibleName(), QStringLiteral("lblName_1"));
    QCOMPARE(card.item("lblHeader_0")->accessibleName(), QStringLiteral("Click to add header 1"));

    // Screen readers see lines as static text and pictures as graphics, named as above.
    QAccessibleInterface *line = QAccessible::queryAccessibleInterface(card.item("lblName_1"));
    QVERIFY(line);
    QCOMPARE(line->role(), QAccessible::StaticText);
    QCOMPARE(line->text(QAccessible::Name), QStringLiteral("lblName_1"));
    QAccessibleInterface *logoAccessible = QAccessible::queryAccessibleInterface(card.item("ImgLogo"));
    QVERIFY(logoAccessible);
    QCOMPARE(logoAccessible->role(), QAccessible::Graphic);

    card.setHeader(0, QStringLiteral("Spring Convention"));
    card.setHeader(1, QStringLiteral("Second line"));
    card.setName(0, QStringLiteral("Anne"));
    card.setName(1, QStringLiteral("O'NEIL"));
    card.setOffice(QStringLiteral("Treasurer"));
    card.setChapter(QStringLiteral(" North  Chapter"));
    card.setHeader(2, QStringLiteral("ignored"));
    card.setName(-1, QStringLiteral("ignored"));
    const QPixmap photo = solid(Qt::green, 30, 40);
    const QPixmap logo = solid(Qt::blue);
    card.setPhoto(photo);
    card.setLogo(logo);
    card.setColor(255);

    const QList<QPair<const char *, QString>> expected = {
        {"lblHeader_0", "Spring Convention"}, {"lblHeader_1", "Second line"}, {"lblName_0", "Anne"},
        {"lblName_1", "O'NEIL"},              {"lblOffice", "Treasurer"},     {"lblChap", " North  Chapter"},
    };
    for (const auto &[name, text] : expected) {
        QCOMPARE(card.item(name)->text(), text);
        QCOMPARE(card.item(name)->accessibleName(), text);
    }
    QCOMPARE(line->text(QAccessible::Name), QStringLiteral("O'NEIL"));
    QCOMPARE(card.header(0), QStringLiteral("Spring Convention"));
    QCOMPARE(card.header(2), QString());
    QCOMPARE(card.name(1), QStringLiteral("O'NEIL"));
    // One picture object shared, not a copy.
    QCOMPARE(card.photo().cacheKey(), photo.cacheKey());
    QCOMPARE(card.item("imgPic")->pixmap().cacheKey(), photo.cacheKey());
    QCOMPARE(card.item("ImgLogo")->pixmap().cacheKey(), logo.cacheKey());
    QVERIFY(card.item("lblName_0")->pixmap().isNull());

    const CardContent c = card.content();
    QCOMPARE(c.header[1], QStringLiteral("Second line"));
    QCOMPARE(c.name[0], QStringLiteral("Anne"));
    QCOMPARE(c.office, QStringLiteral("Treasurer"));
    QCOMPARE(c.chapter, QStringLiteral(" North  Chapter"));
    QCOMPARE(c.color, quint32(255));
    QCOMPARE(c.photo.cacheKey(), photo.cacheKey());

    // A card window is filled from the miniature's content.
    CardWidget other(CardLayout::card2x35());
    QCOMPARE(other.color(), quint32(0xFFFFFF));
    other.setContent(c);
    QCOMPARE(other.item("lblName_1")->text(), QStringLiteral("O'NEIL"));
    QCOMPARE(other.photo().cacheKey(), photo.cacheKey());
    QCOMPARE(other.color(), quint32(255));

    // Clearing the photo leaves an empty picture; the Tag is the owner's.
    card.setPhoto(QPixmap());
    QVERIFY(card.item("imgPic")->pixmap().isNull());
    card.item("imgPic")->setProperty("Tag", QStringLiteral("Pic\\17.jpg"));
    QCOMPARE(card.item("imgPic")->tag(), QStringLiteral("Pic\\17.jpg"));
    card.setName(1, QString());
    QCOMPARE(card.item("lblName_1")->accessibleName(), QStringLiteral("lblName_1"));

    QCOMPARE(CardContent::toQColor(65536u * 64u + 256u * 2u + 1u), QColor(1, 2, 64));
    QCOMPARE(CardContent::fromQColor(QColor(1, 2, 64)), 65536u * 64u + 256u * 2u + 1u);
}

void TestCardWidget::paintingPutsColourTextAndPicturesInTheirBoxes()
{
    const CardLayout layout = CardLayout::miniature();
    CardContent content;
    content.color = 255; // pure red
    content.name[1] = QStringLiteral("WWWWWWWW");
    content.header[0] = QStringLiteral("HEADER");
    content.photo = solid(Qt::green, 7, 9);
    content.logo = solid(Qt::blue, 61, 61);

    const double dpi = 300;
    const CardPainter painter(layout, content);
    const QRectF card = painter.trueSizeRect(dpi, dpi);
    QCOMPARE(card.width(), 2655 * 300 / 1440.0);
    QImage image = imageAtDpi(card.size().toSize() + QSize(20, 20), dpi);
    const QRectF target = card.translated(10, 10);
    {
        QPainter p(&image);
        painter.paint(p, target);
    }
    // Nothing is drawn outside the target.
    QCOMPARE(image.pixel(2, 2), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(int(target.right()) + 5, int(target.bottom()) + 5), qRgb(255, 255, 255));
    // The background has the card colour.
    QCOMPARE(image.pixel(15, 15), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(int(target.right()) - 3, int(target.bottom()) - 3), qRgb(255, 0, 0));

    // Dark text inside the last-name box, and none in the empty first-name and office boxes.
    const QRectF name1 = painter.elementRect(*layout.element("lblName_1"), target);
    QCOMPARE(name1.topLeft(), QPointF(10 + 165 * 300 / 1440.0, 10 + 960 * 300 / 1440.0));
    QVERIFY(countPixels(image, name1, isDark) > 20);
    const QRectF office = painter.elementRect(*layout.element("lblOffice"), target);
    QCOMPARE(countPixels(image, office.adjusted(2, 2, -2, -2), isDark), 0);
    // The text stays in its box: the right part of the wide box is still card colour.
    const QRectF tail(name1.right() - 40, name1.top() + 2, 38, name1.height() - 4);
    QCOMPARE(countPixels(image, tail, isDark), 0);
    // Header text is dark blue, centred: its left and right ends are empty.
    const QRectF head = painter.elementRect(*layout.element("lblHeader_0"), target);
    QVERIFY(countPixels(image, head, [](QRgb c) { return qBlue(c) > qRed(c) + 30 && qRed(c) < 120; }) > 10);
    QCOMPARE(countPixels(image, QRectF(head.left(), head.top(), head.width() / 4, head.height()), isDark), 0);
    QCOMPARE(countPixels(image, QRectF(head.right() - head.width() / 4, head.top(), head.width() / 4, head.height()),
                         isDark),
             0);

    // Pictures are stretched to their boxes; the photo has a black single-line border.
    const QRectF pic = painter.elementRect(*layout.element("imgPic"), target);
    QCOMPARE(image.pixel(pic.center().toPoint()), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(int(pic.left() + 6), int(pic.top() + 6)), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(int(pic.right() - 6), int(pic.bottom() - 6)), qRgb(0, 255, 0));
    QVERIFY(isDark(image.pixel(int(pic.left()) + 1, int(pic.center().y()))));
    QVERIFY(isDark(image.pixel(int(pic.center().x()), int(pic.bottom()) - 1)));
    const QRectF logo = painter.elementRect(*layout.element("ImgLogo"), target);
    QCOMPARE(image.pixel(int(logo.left() + 2), int(logo.top() + 2)), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(int(logo.right() - 2), int(logo.bottom() - 2)), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(int(logo.right() + 3), int(logo.center().y())), qRgb(255, 0, 0));

    // An empty photo leaves the box in the card colour, inside its border.
    content.photo = QPixmap();
    image.fill(Qt::white);
    {
        QPainter p(&image);
        CardPainter(layout, content).paint(p, target);
    }
    QCOMPARE(image.pixel(pic.center().toPoint()), qRgb(255, 0, 0));
    QVERIFY(isDark(image.pixel(int(pic.left()) + 1, int(pic.center().y()))));

    // The widget paints the same card at the screen's resolution.
    CardWidget widget(layout);
    widget.setContent(content);
    widget.resize(widget.sizeHint());
    const QImage shot = widget.grab().toImage();
    const QRect item = widget.item("lblName_1")->geometry();
    const double ratio = shot.width() / double(widget.width());
    QVERIFY(countPixels(shot, QRectF(item.x() * ratio, item.y() * ratio, item.width() * ratio, item.height() * ratio),
                        isDark) > 3);
    QCOMPARE(shot.pixel(2, int(shot.height() / 2)), qRgb(255, 0, 0));
}

void TestCardWidget::textIsDrawnAsTextAtTruePointSize()
{
    // A printer page at 1200 dots per inch: text must reach it as text items
    // (kept as text in a PDF) at 6 points, not as pictures of text.
    const CardLayout layout = CardLayout::miniature();
    CardContent content;
    // The 40-character placeholder is wider in the fallback font than its box:
    // it is narrowed to fit, not wrapped.
    content.header[0] = QStringLiteral("**************Header Line 1*************");
    content.header[1] = QStringLiteral("Header two");
    content.name[0] = QStringLiteral("Anne");
    content.name[1] = QStringLiteral("SMITH");
    content.office = QStringLiteral("Treasurer");
    content.chapter = QStringLiteral("North Chapter");
    content.photo = solid(Qt::green);
    content.logo = solid(Qt::blue);

    const int dpi = 1200;
    const CardPainter painter(layout, content);
    const QRectF page = painter.trueSizeRect(dpi, dpi);
    RecordingDevice device(page.size().toSize(), dpi);
    {
        QPainter p(&device);
        painter.paint(p, page);
    }
    const RecordingEngine &rec = device.engine();
    QCOMPARE(rec.images, 0);

    const QList<QPair<const char *, QString>> lines = {
        {"lblHeader_0", content.header[0]}, {"lblHeader_1", content.header[1]}, {"lblName_0", content.name[0]},
        {"lblName_1", content.name[1]},     {"lblOffice", content.office},      {"lblChap", content.chapter},
    };
    QString all;
    for (const auto &t : rec.texts)
        all += t.text;
    for (const auto &[name, text] : lines) {
        const QRectF box = painter.elementRect(*layout.element(QString::fromLatin1(name)), page);
        bool found = false;
        for (const auto &t : rec.texts) {
            if (text.startsWith(t.text.trimmed()) && !t.text.trimmed().isEmpty() && box.contains(t.baseline)) {
                found = true;
                QCOMPARE(t.font.pointSizeF(), 6.0);
            }
        }
        QVERIFY2(found, qPrintable(QStringLiteral("%1 not drawn as text in its box; drawn: %2").arg(name, all)));
    }

    bool wholeHeader = false;
    for (const auto &t : rec.texts)
        wholeHeader = wholeHeader || (t.text == content.header[0] && t.xScale <= 1.0 && t.xScale >= 0.8);
    QVERIFY2(wholeHeader, qPrintable(all));

    // Both pictures are drawn stretched to exactly their boxes.
    QCOMPARE(rec.pictures.size(), 2);
    for (const auto &pic : rec.pictures) {
        const char *name = pic.key == content.photo.cacheKey() ? "imgPic" : "ImgLogo";
        QCOMPARE(pic.target, painter.elementRect(*layout.element(QString::fromLatin1(name)), page));
    }

    // Drawn at half size, the fonts shrink with the card.
    RecordingDevice half(page.size().toSize(), dpi);
    {
        QPainter p(&half);
        painter.paint(p, QRectF(0, 0, page.width() / 2, page.height() / 2));
    }
    QVERIFY(!half.engine().texts.isEmpty());
    QCOMPARE(half.engine().texts.first().font.pointSizeF(), 3.0);
}

void TestCardWidget::cardWindowLayoutsDrawTheirFixedMarks()
{
    struct Case
    {
        CardLayout layout;
        QSize twips;
        QString codes;
        QRect lastCircle;
    };
    const Case cases[] = {
        {CardLayout::card3x4(), QSize(5505, 3585), QStringLiteral("FL    FD    SK   SB   SL    CO   SD  HM"),
         QRect(3600, 3240, 255, 255)},
        {CardLayout::card2x35(), QSize(4335, 2475), QStringLiteral("FL     FD   SK    SB    SL   CO   SD   HM"),
         QRect(3120, 2160, 195, 195)},
    };
    for (const Case &c : cases) {
        QCOMPARE(c.layout.twips, c.twips);
        QCOMPARE(c.layout.designColor, quint32(0xFFFFFF));
        CardContent content;
        content.name[1] = QStringLiteral("SMITH");
        const int dpi = 600;
        const CardPainter painter(c.layout, content);
        const QRectF page = painter.trueSizeRect(dpi, dpi);
        RecordingDevice device(page.size().toSize(), dpi);
        {
            QPainter p(&device);
            painter.paint(p, page);
        }
        const RecordingEngine &rec = device.engine();
        QStringList texts;
        for (const auto &t : rec.texts)
            texts << t.text;
        QVERIFY2(texts.contains(c.codes), qPrintable(texts.join('|')));
        QVERIFY(texts.contains(QStringLiteral("SMITH")));
        QCOMPARE(rec.ellipses.size(), 8);
        const QRectF last = painter.elementRect(*c.layout.element(QStringLiteral("Shape2_7")), page);
        QCOMPARE(last, QRectF(c.lastCircle.x() * dpi / 1440.0, c.lastCircle.y() * dpi / 1440.0,
                              c.lastCircle.width() * dpi / 1440.0, c.lastCircle.height() * dpi / 1440.0));
        QVERIFY(last.contains(rec.ellipses.last()));

        CardWidget widget(c.layout);
        QVERIFY(widget.item(QStringLiteral("Label1")));
        QCOMPARE(widget.item(QStringLiteral("Label1"))->text(), c.codes);
        QVERIFY(widget.item(QStringLiteral("Shape2_7")));
    }
    QVERIFY(CardLayout::card3x4().element("lblChap")->bold);
    QVERIFY(CardLayout::card3x4().element("lblChap")->italic);
    QVERIFY(CardLayout::card2x35().element("lblName_1")->bold);
    QVERIFY(!CardLayout::card3x4().element("lblName_1")->bold);
}

void TestCardWidget::clicksAndKeysRaiseTheCardsCommands()
{
    CardWidget card(CardLayout::miniature());
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QSignalSpy header(&card, &CardWidget::headerClicked);
    QSignalSpy logo(&card, &CardWidget::logoClicked);
    QSignalSpy background(&card, &CardWidget::backgroundClicked);

    auto clickItem = [&](const char *name) {
        QWidget *item = card.item(QString::fromLatin1(name));
        QTest::mouseClick(item, Qt::LeftButton, {}, item->rect().center());
    };
    clickItem("lblHeader_0");
    clickItem("lblHeader_1");
    QCOMPARE(header.size(), 2);
    QCOMPARE(header.at(0).at(0).toInt(), 0);
    QCOMPARE(header.at(1).at(0).toInt(), 1);
    QCOMPARE(logo.size(), 0);
    QCOMPARE(background.size(), 0);

    clickItem("ImgLogo");
    QCOMPARE(logo.size(), 1);
    QCOMPARE(background.size(), 0);

    clickItem("imgPic");
    clickItem("lblName_1");
    clickItem("lblChap");
    QCOMPARE(background.size(), 3);
    // The bare card, away from every item (bottom right corner).
    QTest::mouseClick(&card, Qt::LeftButton, {}, QPoint(card.width() - 3, card.height() - 3));
    QCOMPARE(background.size(), 4);
    // A right click is not a click.
    QTest::mouseClick(card.item("lblHeader_0"), Qt::RightButton, {}, QPoint(2, 2));
    QCOMPARE(header.size(), 2);
    QCOMPARE(logo.size(), 1);

    // Keyboard: the card takes focus, Enter and Space ask for the colour; other keys do nothing.
    card.setFocus();
    QTRY_VERIFY(card.hasFocus());
    QTest::keyClick(&card, Qt::Key_Return);
    QTest::keyClick(&card, Qt::Key_Space);
    QTest::keyClick(&card, Qt::Key_A);
    QTest::keyClick(&card, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(background.size(), 6);
    QCOMPARE(header.size(), 2);
}

QTEST_MAIN(TestCardWidget)
#include "tst_cardwidget.moc"
