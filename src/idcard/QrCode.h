#pragma once

#include <QString>

#include <vector>

// The modules of a QR code of a short text, as libqrencode makes them (error
// correction level M, which survives a scratched or smudged card): a square of
// dark and light modules, without the quiet zone the reader needs around it.
class QrCode
{
public:
    // The light margin the standard asks for on every side, in modules.
    static constexpr int QuietZone = 4;

    // The code of `text` (sent as UTF-8); a null code when the text cannot be
    // encoded (too long for any version).
    static QrCode encode(const QString &text);

    bool isNull() const { return m_size == 0; }
    int size() const { return m_size; } // modules per side
    int version() const { return m_version; }
    bool isDark(int x, int y) const { return m_dark[std::size_t(y) * std::size_t(m_size) + std::size_t(x)]; }

private:
    static QrCode make(const QString &text);

    int m_size = 0;
    int m_version = 0;
    std::vector<bool> m_dark;
};
