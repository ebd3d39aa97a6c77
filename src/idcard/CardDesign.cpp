#include "CardDesign.h"

#include "CardWidget.h"
#include "bindings/CommandRunner.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/ModGen.h"
#include "core/Dialogs.h"
#include "core/Settings.h"
#include "session/CardContent.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

namespace {

struct HeaderLine
{
    const char *prompt;
    SettingKey key;
};

const HeaderLine HeaderLines[2] = {
    {"Please Enter Title Line 1 (40 charaters Max)", SettingKeys::Header1},
    {"Please Enter Title Line 2 (25 charaters Max)", SettingKeys::Header2},
};

// The original platform's numbers for these failures.
constexpr int PathFileAccessError = 75;
constexpr int InvalidPicture = 481;

// Copies `from` over `to` so that a failed copy leaves `to` as it was (and
// copying a file onto itself keeps it).
void copyReplacing(const QString &from, const QString &to)
{
    const auto fail = [&](const QString &why) {
        throw AppError(PathFileAccessError, QStringLiteral("Add ID Logo Error"),
                       QStringLiteral("The logo \"%1\" could not be copied to \"%2\": %3")
                           .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), why));
    };
    const QFileInfo source(from);
    if (source.canonicalFilePath() == QFileInfo(to).canonicalFilePath() && source.exists())
        return;
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        fail(in.errorString());
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        fail(out.errorString());
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 16);
        if (block.isEmpty() && in.error() != QFileDevice::NoError)
            fail(in.errorString());
        if (out.write(block) != block.size())
            fail(out.errorString());
    }
    if (!out.commit())
        fail(out.errorString());
}

QImage loadLogo(const QString &file)
{
    QImageReader reader(file);
    const QImage image = reader.read();
    if (image.isNull())
        throw AppError(InvalidPicture, QStringLiteral("Add ID Logo Error"),
                       QStringLiteral("The picture \"%1\" cannot be loaded: %2")
                           .arg(QDir::toNativeSeparators(file), reader.errorString()));
    return CardFace::drawable(image);
}

} // namespace

CardDesign::CardDesign(const AppContext &context, CardWidget *miniature, CardContent *content, QAction *showQrCode,
                       QWidget *owner)
    : QObject(owner), m_context(context), m_content(content), m_owner(owner)
{
    setObjectName(QStringLiteral("cardDesign"));
    connect(miniature, &CardWidget::headerClicked, this, &CardDesign::lblHeader_Click);
    connect(miniature, &CardWidget::logoClicked, this, &CardDesign::imgLogo_Click);
    connect(miniature, &CardWidget::backgroundClicked, this, &CardDesign::fraID_Click);
    if (showQrCode) {
        showQrCode->setCheckable(true);
        // The mark shows what the cards show, also after the stored design is restored.
        const auto follow = [showQrCode, content] { showQrCode->setChecked(content->face().showCode); };
        follow();
        connect(content, &CardContent::changed, showQrCode, follow);
        connect(showQrCode, &QAction::triggered, this, &CardDesign::mnuQRCode_Click);
    }
}

QString CardDesign::logoFolder() const
{
    return m_context.appFolder + QStringLiteral("Logo") + QDir::separator();
}

QString CardDesign::logoTarget(const QString &logoFolder, const QString &chosenFile)
{
    const QString name = modGen::getFilePart(chosenFile);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return logoFolder + QStringLiteral("idlogo") + (dot >= 0 ? name.mid(dot) : QString());
}

void CardDesign::lblHeader_Click(int index)
{
    if (index < 0 || index > 1)
        return;
    const HeaderLine &line = HeaderLines[index];
    std::optional<QString> text;
    ignoreErrors([&] {
        text = Dialogs::instance().input(m_owner, QString::fromLatin1(line.prompt), QStringLiteral("ID Header"),
                                         QString::fromLatin1(line.key.defaultValue));
    });
    // Cancel keeps the line as it is; OK stores what was typed, an empty text too.
    if (!text)
        return;
    ignoreErrors([&] { m_content->setHeader(index, *text); });
    ignoreErrors([&] { line.key.write(*text); });
}

void CardDesign::imgLogo_Click()
{
    CommandRunner(m_owner).reporting({QStringLiteral("Add ID Logo Error"), MsgIcon::Critical}, [this] {
        const QString chosen = Dialogs::instance().openFile(
            m_owner, QStringLiteral("Add Logo to ID"), logoFolder(),
            QStringLiteral("Pictures (*.bmp;*.ico;*.jpg;*.gif)|*.bmp;*.ico;*.jpg;*.gif"), QStringLiteral(".bmp"));
        if (chosen.isEmpty())
            return;
        const QString target = logoTarget(logoFolder(), chosen);
        copyReplacing(chosen, target);
        m_content->setLogo(loadLogo(target));
        SettingKeys::Logo.write(target);
    });
}

void CardDesign::mnuQRCode_Click(bool show)
{
    ignoreErrors([&] { m_content->setShowCode(show); });
    ignoreErrors([&] { SettingKeys::QrCode.write(show ? QStringLiteral("True") : QStringLiteral("False")); });
}

void CardDesign::fraID_Click()
{
    std::optional<quint32> color;
    ignoreErrors([&] { color = Dialogs::instance().color(m_owner, m_content->face().color); });
    // Cancel and black change nothing.
    if (!color || *color == 0)
        return;
    ignoreErrors([&] { m_content->setColor(*color); });
    ignoreErrors([&] { SettingKeys::IdColor.write(QString::number(qint32(*color))); });
}
