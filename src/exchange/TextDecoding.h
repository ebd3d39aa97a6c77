#pragma once

#include <QByteArray>
#include <QString>

// The text of a file whose encoding nobody told us: UTF-8 with or without a
// byte-order mark, UTF-16 (little or big endian) with one, otherwise
// Windows-1252, the code page spreadsheets on Western desktops save CSV in.
struct DecodedText
{
    QString text;
    QString encoding; // "UTF-8", "UTF-16", "Windows-1252"
};

namespace TextDecoding {

DecodedText decode(const QByteArray &bytes);

} // namespace TextDecoding
