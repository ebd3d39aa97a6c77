// The ID card: its items follow the layout tables, the cards show the content they observe,
// one painter draws it for screen and printer (text as text, pictures stretched to their
// boxes), and clicks raise its commands.

#include "idcard/CardImage.h"
#include "idcard/CardItem.h"
#include "idcard/CardLayout.h"
#include "idcard/CardPainter.h"
#include "idcard/CardWidget.h"
#include "session/CardContent.h"

#include <QAccessible>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTextItem>

#include <cmath>

namespace {

// The three layouts' tables, written out here independently of the code: name, box (twips),
// point size (-1: a picture or circle), bold, italic, tooltip.
struct Row { const char *name; QRect twips; double points; bool bold, italic; const char *toolTip; };
struct Table { CardLayout layout; QSize twips; QList<Row> rows; int items; const char *codes; };

QList<Table> tables()
{
    return {
        {CardLayout::miniature(), {2655, 1575}, {
             {"lblHeader_0", {120, 120, 2415, 150}, 6, 0, 0, "Click to add header 1"}, {"lblHeader_1", {510, 240, 1455, 150}, 6, 0, 0, "Click to add a Header Line 2"},
             {"ImgLogo", {165, 360, 465, 420}, -1, 0, 0, "Click to Add a Logo"}, {"imgPic", {1845, 435, 735, 855}, -1, 0, 0, ""},
             {"lblName_0", {165, 840, 1455, 135}, 6, 0, 0, ""}, {"lblName_1", {165, 960, 1455, 135}, 6, 0, 0, ""},
             {"lblOffice", {165, 1080, 1455, 135}, 6, 0, 0, ""}, {"lblChap", {165, 1320, 1455, 135}, 6, 0, 0, ""},
             {"imgQRCode", {1380, 400, 435, 435}, -1, 0, 0, "The attendee's QR code: View > Show QR Code on ID Card turns it off"}}, 9, nullptr},
        {CardLayout::card3x4(), {5505, 3585}, {
             {"lblHeader_0", {555, 120, 4155, 240}, 9.75, 0, 0, ""}, {"lblHeader_1", {1065, 360, 3015, 240}, 9.75, 0, 0, ""},
             {"ImgLogo", {240, 480, 1065, 1020}, -1, 0, 0, ""}, {"imgPic", {3600, 840, 1575, 1935}, -1, 0, 0, ""},
             {"lblName_0", {240, 1560, 3135, 330}, 13.5, 0, 0, ""}, {"lblName_1", {240, 1920, 3135, 330}, 13.5, 0, 0, ""},
             {"lblOffice", {240, 2280, 3015, 375}, 12, 0, 0, ""}, {"lblChap", {240, 2640, 3255, 375}, 12, 1, 1, ""},
             {"Label1", {1080, 3075, 2895, 255}, 8.25, 0, 0, ""}, {"Shape2_0", {1080, 3240, 255, 255}, -1, 0, 0, ""},
             {"Shape2_3", {2160, 3240, 255, 255}, -1, 0, 0, ""}, {"Shape2_7", {3600, 3240, 255, 255}, -1, 0, 0, ""},
             {"imgQRCode", {4395, 2790, 780, 780}, -1, 0, 0, ""}}, 18, "FL    FD    SK   SB   SL    CO   SD  HM"},
        {CardLayout::card2x35(), {4335, 2475}, {
             {"lblHeader_0", {375, 0, 3585, 195}, 8.25, 0, 0, ""}, {"lblHeader_1", {855, 240, 2685, 195}, 8.25, 0, 0, ""},
             {"ImgLogo", {120, 240, 705, 660}, -1, 0, 0, ""}, {"imgPic", {3120, 480, 1215, 1335}, -1, 0, 0, ""},
             {"lblName_0", {120, 960, 2655, 330}, 12, 0, 0, ""}, {"lblName_1", {120, 1200, 2655, 330}, 12, 1, 0, ""},
             {"lblOffice", {120, 1560, 2655, 255}, 9.75, 0, 0, ""}, {"lblChap", {120, 1800, 2655, 255}, 9.75, 1, 1, ""},
             {"Label1", {960, 1995, 2775, 210}, 6.75, 0, 0, ""}, {"Shape2_0", {960, 2160, 200, 200}, -1, 0, 0, ""},
             {"Shape2_4", {2192, 2160, 200, 200}, -1, 0, 0, ""}, {"Shape2_7", {3120, 2160, 195, 195}, -1, 0, 0, ""},
             {"imgQRCode", {3735, 1845, 600, 600}, -1, 0, 0, ""}}, 18, "FL     FD   SK    SB    SL   CO   SD   HM"},
    };
}

// Pixels of a twips rectangle at a resolution, edges rounded (1440 twips to the inch).
QRect scaled(const QRect &t, double dpiX, double dpiY)
{
    auto px = [](double twips, double dpi) { return int(std::lround(twips * dpi / 1440.0)); };
    const int l = px(t.left(), dpiX), top = px(t.top(), dpiY);
    return QRect(l, top, px(t.left() + t.width(), dpiX) - l, px(t.top() + t.height(), dpiY) - top);
}

QImage solid(const QColor &color, int w = 8, int h = 8)
{
    QImage p(w, h, QImage::Format_RGB32);
    p.fill(color);
    return p;
}

bool isDark(QRgb c) { return qRed(c) < 110 && qGreen(c) < 110 && qBlue(c) < 110; }

// Counts pixels of `image` inside `box` for which `test` holds.
template<typename F>
int countPixels(const QImage &image, const QRectF &box, F test)
{
    int n = 0;
    const QRect r = box.toAlignedRect().intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// A white page of that size at that resolution.
QImage page(QSizeF size, double dpi)
{
    QImage image(size.toSize(), QImage::Format_ARGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    return image;
}

// A paint engine that records what a painter draws, to tell text drawn as
// text from text drawn as pixels, and to see where pictures land.
class RecordingEngine : public QPaintEngine
{
public:
    // Baseline on the device; xScale is the horizontal scale of the painter's transform.
    struct Text { QPointF baseline; QString text; QFont font; double xScale; };

    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &s) override { transform = s.state() & DirtyTransform ? s.transform() : transform; }
    // Pictures (and any picture of text) land here.
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &) override { pictures.append({r, pm.cacheKey()}); }
    void drawImage(const QRectF &r, const QImage &im, const QRectF &, Qt::ImageConversionFlags) override { pictures.append({r, im.cacheKey()}); }
    void drawTextItem(const QPointF &p, const QTextItem &ti) override { texts.append({transform.map(p), ti.text(), ti.font(), transform.m11()}); }
    void drawEllipse(const QRectF &r) override { ellipses.append(r); }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath &) override {} // borders: not looked at here
    Type type() const override { return QPaintEngine::User; }

    QList<Text> texts;
    QList<QPair<QRectF, qint64>> pictures; // target and picture cache key
    QList<QRectF> ellipses;
    QTransform transform;
};

// A page whose painter records what `painter` draws into `target` instead of drawing it.
class RecordingPage : public QImage
{
public:
    RecordingPage(const CardPainter &painter, QSizeF size, int dpi, const QRectF &target) : QImage(page(size, dpi))
    {
        QPainter p(this);
        painter.paint(p, target);
    }
    QPaintEngine *paintEngine() const override { return &engine; }
    mutable RecordingEngine engine;
};

} // namespace

class TestCardWidget : public QObject
{
    Q_OBJECT

private slots:
    void itemsFollowTheLayoutTablesAtTheScreensResolution();
    void cardsShowTheContentTheyObserve();
    void paintingPutsColourTextAndPicturesInTheirBoxes();
    void printedTextIsTextAtTruePointSize_data();
    void printedTextIsTextAtTruePointSize();
    void longLinesShrinkThenEndWithAnEllipsis_data();
    void longLinesShrinkThenEndWithAnEllipsis();
    void clicksAndKeysRaiseTheCardsCommands();
};

void TestCardWidget::itemsFollowTheLayoutTablesAtTheScreensResolution()
{
    CardContent content;
    for (const Table &table : tables()) {
        CardWidget card(table.layout, &content);
        const double dpiX = card.logicalDpiX(), dpiY = card.logicalDpiY();
        QCOMPARE(card.sizeHint(), scaled(QRect(QPoint(), table.twips), dpiX, dpiY).size());
        QCOMPARE(card.findChildren<CardItem *>().size(), table.items);
        for (const Row &row : table.rows) {
            CardItem *item = card.item(QString::fromLatin1(row.name));
            QVERIFY2(item, row.name);
            QCOMPARE(item->element().twips, row.twips); // exact, as a pixel may hide a typo
            QCOMPARE(item->geometry(), scaled(row.twips, dpiX, dpiY));
            QCOMPARE(item->toolTip(), QString::fromLatin1(row.toolTip));
            if (row.points > 0) {
                const QFont font = item->element().font();
                QCOMPARE(font.pointSizeF(), row.points);
                QCOMPARE(QList<bool>({font.bold(), font.italic()}), QList<bool>({row.bold, row.italic}));
            }
        }
        // The code hides nothing: its box (quiet zone included) is on the card and meets no other box.
        const QRect code = card.item("imgQRCode")->element().twips;
        QVERIFY(QRect(QPoint(), table.twips).contains(code));
        for (const CardElement &e : table.layout.elements)
            QVERIFY2(e.role == CardElement::QrCode || !e.twips.intersects(code), qPrintable(e.objectName));
        QCOMPARE(card.item("lblHeader_1")->element().textColor, QColor(0, 0, 64));
        QVERIFY(card.item("imgPic")->element().border);
        if (table.codes)
            QCOMPARE(card.item("Label1")->text(), QString::fromLatin1(table.codes));
    }
    CardWidget mini(CardLayout::miniature(), &content);
    QCOMPARE(mini.toolTip(), QStringLiteral("Click to change the color of the ID"));
    QCOMPARE(mini.color(), 224 + 256 * 224 + 65536 * 224u); // light grey until a colour is chosen
    // "MS Serif" is a Windows font: the request falls back to an installed serif face.
    QCOMPARE(mini.item("lblName_1")->element().font().styleHint(), QFont::Serif);
}

void TestCardWidget::cardsShowTheContentTheyObserve()
{
    // Two cards observe one content: a write shows on both at once, in their items too.
    CardContent content;
    CardWidget card(CardLayout::miniature(), &content);
    auto other = std::make_unique<CardWidget>(CardLayout::card2x35(), &content);
    QCOMPARE(card.accessibleName(), QStringLiteral("ID card"));
    QCOMPARE(card.focusPolicy(), Qt::StrongFocus);
    // Screen readers see lines as static text and pictures as graphics; an empty item
    // is named by its tooltip, else by its object name.
    QAccessibleInterface *line = QAccessible::queryAccessibleInterface(card.item("lblName_1"));
    QAccessibleInterface *logo = QAccessible::queryAccessibleInterface(card.item("ImgLogo"));
    QVERIFY(line && logo);
    QCOMPARE(line->role(), QAccessible::StaticText);
    QCOMPARE(line->text(QAccessible::Name), QStringLiteral("lblName_1"));
    QCOMPARE(logo->role(), QAccessible::Graphic);
    QCOMPARE(logo->text(QAccessible::Name), QStringLiteral("Click to Add a Logo"));

    content.setHeader(0, QStringLiteral("Spring Convention"));
    content.setHeader(1, QStringLiteral("Second line"));
    content.setName(0, QStringLiteral("Anne"));
    content.setName(1, QStringLiteral("O'NEIL"));
    content.setOffice(QStringLiteral("Treasurer"));
    content.setChapter(QStringLiteral(" North  Chapter"));
    content.setHeader(2, QStringLiteral("ignored")); // out of range: no effect, no crash
    content.setName(-1, QStringLiteral("ignored"));
    const QImage photo = solid(Qt::green, 30, 40);
    content.setPhoto(photo, QStringLiteral("Pic\\17.jpg"));
    content.setColor(255);
    const QList<QPair<const char *, QString>> expected = {
        {"lblHeader_0", "Spring Convention"}, {"lblHeader_1", "Second line"}, {"lblName_0", "Anne"},
        {"lblName_1", "O'NEIL"},              {"lblOffice", "Treasurer"},     {"lblChap", " North  Chapter"},
    };
    for (const CardWidget *shown : {&card, other.get()}) {
        for (const auto &[name, text] : expected) {
            QCOMPARE(shown->item(name)->text(), text);
            QCOMPARE(shown->item(name)->accessibleName(), text);
        }
        QCOMPARE(shown->header(2), QString());
        QCOMPARE(shown->photo().cacheKey(), photo.cacheKey()); // shared, not a copy
        QCOMPARE(shown->color(), quint32(255));
    }

    // Clearing leaves an empty picture and the item named by its object name again.
    content.setPhoto(QImage(), QString());
    QVERIFY(card.photo().isNull());
    content.setName(1, QString());
    QCOMPARE(line->text(QAccessible::Name), QStringLiteral("lblName_1"));
    // A card outliving its content shows a blank card rather than failing.
    {
        CardContent gone;
        gone.setName(0, QStringLiteral("Anne"));
        other = std::make_unique<CardWidget>(CardLayout::card2x35(), &gone);
        QCOMPARE(other->name(0), QStringLiteral("Anne"));
    }
    QCOMPARE(other->name(0), QString());
    other->grab();

    // Colour numbers are red + 256*green + 65536*blue.
    QCOMPARE(CardFace::toQColor(65536u * 64u + 256u * 2u + 1u), QColor(1, 2, 64));
    QCOMPARE(CardFace::fromQColor(QColor(1, 2, 64)), 65536u * 64u + 256u * 2u + 1u);
}

void TestCardWidget::paintingPutsColourTextAndPicturesInTheirBoxes()
{
    const CardLayout layout = CardLayout::miniature();
    CardFace face;
    face.color = 255; // pure red
    face.name[1] = QStringLiteral("WWWWWWWW");
    face.header[0] = QStringLiteral("HEADER");
    face.photo = solid(Qt::green, 7, 9);
    face.logo = solid(Qt::blue, 61, 61);

    const double dpi = 300;
    const CardPainter painter(layout, face);
    const QRectF target = painter.trueSizeRect(dpi, dpi).translated(10, 10);
    auto box = [&](const char *name) { return painter.elementRect(*layout.element(QString::fromLatin1(name)), target); };
    QCOMPARE(target.size(), QSizeF(2655, 1575) * 300 / 1440.0);
    QCOMPARE(box("imgPic"), QRectF(QPointF(1845, 435) * 300 / 1440.0 + QPointF(10, 10), QSizeF(735, 855) * 300 / 1440.0));
    QImage image = page(target.size() + QSizeF(20, 20), dpi);
    {
        QPainter p(&image);
        painter.paint(p, target);
    }
    // The card colour fills the target and nothing is drawn outside it.
    QCOMPARE(image.pixel(2, 2), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(int(target.right()) + 5, int(target.bottom()) + 5), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(15, 15), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(int(target.right()) - 3, int(target.bottom()) - 3), qRgb(255, 0, 0));

    // Dark text in the last-name box, none in the empty office box, none past the text's end.
    const QRectF name1 = box("lblName_1");
    QVERIFY(countPixels(image, name1, isDark) > 20);
    QCOMPARE(countPixels(image, box("lblOffice").adjusted(2, 2, -2, -2), isDark), 0);
    QCOMPARE(countPixels(image, QRectF(name1.right() - 40, name1.top() + 2, 38, name1.height() - 4), isDark), 0);
    // Header text is dark blue and centred: the outer quarters of its box are empty.
    const QRectF head = box("lblHeader_0");
    QVERIFY(countPixels(image, head, [](QRgb c) { return qBlue(c) > qRed(c) + 30 && qRed(c) < 120; }) > 10);
    const QRectF quarter(head.topLeft(), QSizeF(head.width() / 4, head.height()));
    QCOMPARE(countPixels(image, quarter, isDark), 0);
    QCOMPARE(countPixels(image, quarter.translated(head.width() * 3 / 4, 0), isDark), 0);

    // Pictures are stretched to fill their boxes and stay inside; the photo has a black single-line border.
    const QRectF pic = box("imgPic");
    QCOMPARE(image.pixel(int(pic.right() - 6), int(pic.bottom() - 6)), qRgb(0, 255, 0));
    QVERIFY(isDark(image.pixel(int(pic.left()) + 1, int(pic.center().y()))));
    const QRectF logo = box("ImgLogo");
    QCOMPARE(image.pixel(int(logo.left() + 2), int(logo.top() + 2)), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(int(logo.right() - 2), int(logo.bottom() - 2)), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(int(logo.right() + 3), int(logo.center().y())), qRgb(255, 0, 0));

    // An empty photo leaves the box in the card colour, inside its border; the widget
    // paints the same card at the screen's resolution.
    face.photo = QImage();
    CardContent observed;
    observed.setFace(face);
    CardWidget widget(layout, &observed);
    widget.resize(widget.sizeHint());
    const QImage shot = widget.grab().toImage();
    const double ratio = shot.width() / double(widget.width());
    auto shotBox = [&](const char *name) {
        const QRect r = widget.item(QString::fromLatin1(name))->geometry();
        return QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio);
    };
    QVERIFY(countPixels(shot, shotBox("lblName_1"), isDark) > 3);
    QCOMPARE(shot.pixel(shotBox("imgPic").center().toPoint()), qRgb(255, 0, 0));
    QVERIFY(isDark(shot.pixel(int(shotBox("imgPic").left()), int(shotBox("imgPic").center().y()))));
    QCOMPARE(shot.pixel(2, int(shot.height() / 2)), qRgb(255, 0, 0));
}

void TestCardWidget::printedTextIsTextAtTruePointSize_data()
{
    QTest::addColumn<int>("which"); // index into tables()
    QTest::newRow("miniature") << 0;
    QTest::newRow("3 X 4") << 1;
    QTest::newRow("2 1/4 X 3.5") << 2;
}

void TestCardWidget::printedTextIsTextAtTruePointSize()
{
    // A printer page at 1200 dots per inch: text must reach it as text items (kept
    // as text in a PDF) at the layout's point size, not as pictures of text.
    QFETCH(int, which);
    const CardLayout layout = tables().at(which).layout;
    CardFace face;
    // The 40-character placeholder is wider in the fallback font than the miniature's
    // box: it is narrowed to fit, not wrapped.
    face.header[0] = QStringLiteral("**************Header Line 1*************");
    face.header[1] = QStringLiteral("Header two");
    face.name[0] = QStringLiteral("Anne");
    face.name[1] = QStringLiteral("SMITH");
    face.office = QStringLiteral("Treasurer");
    face.chapter = QStringLiteral("North Chapter");
    face.photo = solid(Qt::green);
    face.logo = solid(Qt::blue);
    const int dpi = 1200;
    const CardPainter painter(layout, face);
    const QRectF page = painter.trueSizeRect(dpi, dpi);
    const RecordingPage device(painter, page.size(), dpi, page);
    const RecordingEngine &rec = device.engine;
    QString all;
    for (const auto &t : rec.texts)
        all += t.text + '|';

    // Every line (the codes line too) drawn whole as text in its box, at its size.
    for (const CardElement &e : layout.elements) {
        const QString text = e.textIn(face);
        if (e.kind != CardElement::Text || text.isEmpty())
            continue;
        bool found = false;
        for (const auto &t : rec.texts) {
            if (t.text == text && painter.elementRect(e, page).contains(t.baseline)) {
                found = true;
                QCOMPARE(t.font.pointSizeF(), e.pointSize);
                QVERIFY2(t.xScale <= 1.0 && t.xScale >= 0.8, qPrintable(e.objectName)); // narrowed a little at most
            }
        }
        QVERIFY2(found, qPrintable(QStringLiteral("%1 not drawn whole as text in its box; drawn: %2").arg(e.objectName, all)));
    }
    QCOMPARE(all.count('|'), which == 0 ? 6 : 7);

    // Exactly the two pictures, each stretched to exactly its box; a circle in each circle's box.
    QCOMPARE(rec.pictures.size(), 2);
    for (const auto &[target, key] : rec.pictures) {
        const char *name = key == face.photo.cacheKey() ? "imgPic" : key == face.logo.cacheKey() ? "ImgLogo" : "?";
        QVERIFY2(layout.element(QString::fromLatin1(name)), "a picture that is neither photo nor logo");
        QCOMPARE(target, painter.elementRect(*layout.element(QString::fromLatin1(name)), page));
    }
    QCOMPARE(rec.ellipses.size(), which == 0 ? 0 : 8);
    if (which != 0)
        QVERIFY(painter.elementRect(*layout.element(QStringLiteral("Shape2_7")), page).contains(rec.ellipses.last()));

    // Drawn at half size, the fonts shrink with the card.
    const RecordingPage half(painter, page.size(), dpi, QRectF(0, 0, page.width() / 2, page.height() / 2));
    QCOMPARE(half.engine.texts.size(), rec.texts.size());
    QCOMPARE(half.engine.texts.first().font.pointSizeF(), rec.texts.first().font.pointSizeF() / 2);

    // A header far too long for its box is narrowed as far as a header may be, then ends with
    // an ellipsis on its one line (it used to wrap, and the box cut the second half away).
    face.header[0] = QStringLiteral("Annual Convention of the Northern and Southern Regions, 2026");
    const CardPainter longer(layout, face);
    const RecordingPage cut(longer, page.size(), dpi, page);
    const QRectF headerBox = longer.elementRect(*layout.element(QStringLiteral("lblHeader_0")), page);
    QList<RecordingEngine::Text> inHeader;
    for (const auto &t : cut.engine.texts)
        if (headerBox.contains(t.baseline))
            inHeader << t;
    QCOMPARE(inHeader.size(), 1);
    QVERIFY2(inHeader[0].text.endsWith(QChar(0x2026)) && face.header[0].startsWith(inHeader[0].text.chopped(1)),
             qPrintable(inHeader[0].text));
    QCOMPARE(inHeader[0].font.pointSizeF(), layout.element(QStringLiteral("lblHeader_0"))->pointSize);
    QVERIFY(inHeader[0].xScale >= 0.79);
}

void TestCardWidget::longLinesShrinkThenEndWithAnEllipsis_data()
{
    QTest::addColumn<int>("which"); // index into tables()
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("whole"); // fits once smaller; otherwise cut at the smallest size
    const char *names[] = {"miniature", "3 X 4", "2 1/4 X 3.5"};
    for (int which = 0; which < 3; ++which) {
        QTest::addRow("%s, hyphenated last name", names[which]) << which << "lblName_1" << "VASCONCELOS-ALBUQUERQUE" << true;
        QTest::addRow("%s, office", names[which]) << which << "lblOffice" << "Recording Secretary and Treasurer" << true;
        QTest::addRow("%s, endless first name", names[which])
            << which << "lblName_0" << QString::fromUtf8("Maria da Conceição Vasconcelos de Albuquerque Sampaio e Castro") << false;
    }
}

void TestCardWidget::longLinesShrinkThenEndWithAnEllipsis()
{
    QFETCH(int, which);
    QFETCH(QString, element);
    QFETCH(QString, text);
    QFETCH(bool, whole);
    const CardLayout layout = tables().at(which).layout;
    const CardElement &e = *layout.element(element);
    QVERIFY(e.minimumPointSize >= (which == 0 ? e.pointSize / 2 : std::max(6.0, e.pointSize / 2)));
    CardFace face;
    (e.role == CardElement::Office ? face.office : face.name[e.role == CardElement::LastName ? 1 : 0]) = text;
    const CardPainter painter(layout, face);

    // On paper and on a screen alike: one line (never wrapped), the same letters at the same size.
    QList<RecordingEngine::Text> drawn;
    for (int dpi : {1200, 96}) {
        const QRectF page = painter.trueSizeRect(dpi, dpi);
        const RecordingPage device(painter, page.size(), dpi, page);
        const QString codesRow = layout.element("Label1") ? layout.element("Label1")->fixedText : QString();
        QList<RecordingEngine::Text> lines; // the codes row of a printed card is text too
        for (const RecordingEngine::Text &t : device.engine.texts)
            if (t.text != codesRow)
                lines << t;
        QCOMPARE(lines.size(), 1);
        drawn << lines.first();
        QVERIFY2(drawn.last().xScale > 0.9, "drawn smaller, not squeezed");
    }
    QCOMPARE(drawn[1].text, drawn[0].text);
    QCOMPARE(drawn[1].font.pointSizeF(), drawn[0].font.pointSizeF());
    const RecordingEngine::Text &line = drawn[0];
    QVERIFY(line.font.pointSizeF() < e.pointSize && line.font.pointSizeF() >= e.minimumPointSize);
    if (whole) {
        QCOMPARE(line.text, text);
    } else {
        QCOMPARE(line.font.pointSizeF(), e.minimumPointSize);
        QVERIFY2(line.text.size() > 10 && line.text.endsWith(QChar(0x2026)) && text.startsWith(line.text.chopped(1)),
                 qPrintable(line.text));
    }

    // On the picture: the ink ends inside the box (no letter cut at its edge), is one line
    // high, and a line shown whole fills its box rather than stopping at a hyphen.
    const double dpi = 300;
    const QRectF box = painter.elementRect(e, painter.trueSizeRect(dpi, dpi));
    const QImage inked = CardImage::render(layout, face, dpi, dpi);
    const QImage blank = CardImage::render(layout, CardFace(), dpi, dpi);
    QRect ink;
    for (int y = 0; y < inked.height(); ++y)
        for (int x = 0; x < inked.width(); ++x)
            if (inked.pixel(x, y) != blank.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
    QVERIFY2(box.adjusted(-1, -1, 1, 1).contains(ink), qPrintable(QStringLiteral("ink %1,%2 %3x%4 outside %5,%6 %7x%8")
        .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height()).arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())));
    QVERIFY2(ink.right() < box.right() - 1, qPrintable(QStringLiteral("ink to %1, box to %2").arg(ink.right()).arg(box.right())));
    QVERIFY(ink.height() <= line.font.pointSizeF() * dpi / 72 * 1.3);
    if (whole)
        QVERIFY2(ink.width() > 0.85 * box.width(), qPrintable(QStringLiteral("%1 of %2").arg(ink.width()).arg(box.width())));
}

void TestCardWidget::clicksAndKeysRaiseTheCardsCommands()
{
    CardContent content;
    CardWidget card(CardLayout::card3x4(), &content);
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QSignalSpy header(&card, &CardWidget::headerClicked);
    QSignalSpy logo(&card, &CardWidget::logoClicked);
    QSignalSpy background(&card, &CardWidget::backgroundClicked);
    auto counts = [&] { return QList<qsizetype>{header.size(), logo.size(), background.size()}; };
    auto click = [&](const char *name, Qt::MouseButton button = Qt::LeftButton) {
        QWidget *item = card.item(QString::fromLatin1(name));
        QTest::mouseClick(item, button, {}, item->rect().center());
    };

    // Headers, logo, the attendee's lines and the bare card are clicked through the real window in
    // tst_cardwindows; the codes and circles printed on a card are the card's own click; a right
    // click is none.
    click("Label1");
    click("Shape2_7");
    click("lblHeader_0", Qt::RightButton);
    click("ImgLogo", Qt::RightButton);
    QCOMPARE(counts(), (QList<qsizetype>{0, 0, 2}));

    // Keyboard: the card takes focus, Enter and Space ask for the colour; other keys do nothing.
    card.setFocus();
    QTRY_VERIFY(card.hasFocus());
    QTest::keyClick(&card, Qt::Key_Return);
    QTest::keyClick(&card, Qt::Key_Space);
    QTest::keyClick(&card, Qt::Key_A);
    QTest::keyClick(&card, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(counts(), (QList<qsizetype>{0, 0, 4}));
}

QTEST_MAIN(TestCardWidget)
#include "tst_cardwidget.moc"
