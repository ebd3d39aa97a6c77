#include "QrCode.h"

#include <qrencode.h>

#include <memory>

QrCode QrCode::encode(const QString &text)
{
    // The three cards draw the same attendee's code on every change, and the
    // encoder tries all eight masks each time: the last code is kept.
    thread_local QString lastText;
    thread_local QrCode lastCode;
    if (text == lastText && !text.isEmpty())
        return lastCode;
    lastCode = make(text);
    lastText = text;
    return lastCode;
}

QrCode QrCode::make(const QString &text)
{
    QrCode code;
    const QByteArray utf8 = text.toUtf8();
    if (utf8.isEmpty())
        return code;
    // Version 0: the smallest that holds the text. The mode hint lets the
    // encoder pick the compact alphanumeric mode where the text allows it
    // ("QVX:3:1207" is all alphanumeric), which keeps the modules large.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> encoded(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!encoded || encoded->width <= 0)
        return code;
    code.m_size = encoded->width;
    code.m_version = encoded->version;
    code.m_dark.resize(std::size_t(code.m_size) * std::size_t(code.m_size));
    for (std::size_t i = 0; i < code.m_dark.size(); ++i)
        code.m_dark[i] = (encoded->data[i] & 1) != 0; // the lowest bit: dark
    return code;
}
