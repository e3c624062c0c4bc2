#include "net/TickerBody.h"

#include <QList>
#include <QStringDecoder>

#include "conversion/Windows1252.h"

namespace tarvelin::net {

namespace {

char16_t latin9(unsigned char byte)
{
    switch (byte) {
        case 0xA4:
            return 0x20AC;
        case 0xA6:
            return 0x0160;
        case 0xA8:
            return 0x0161;
        case 0xB4:
            return 0x017D;
        case 0xB8:
            return 0x017E;
        case 0xBC:
            return 0x0152;
        case 0xBD:
            return 0x0153;
        case 0xBE:
            return 0x0178;
        default:
            return byte;
    }
}

enum class Charset { ByteToChar, Utf8, Utf16Be, Utf16Le, Utf16, Windows1252, Latin9 };

Charset charsetFromName(const QByteArray& name)
{
    if (name == "utf-8" || name == "utf8") return Charset::Utf8;
    if (name == "utf-16be") return Charset::Utf16Be;
    if (name == "utf-16le") return Charset::Utf16Le;
    if (name == "utf-16") return Charset::Utf16;
    if (name == "windows-1252" || name == "cp1252" || name == "x-cp1252")
        return Charset::Windows1252;
    if (name == "iso-8859-15" || name == "iso8859-15" || name == "iso_8859-15" ||
        name == "latin-9" || name == "latin9") {
        return Charset::Latin9;
    }
    // ISO-8859-1, US-ASCII and every unknown name: one byte, one character of the same code.
    return Charset::ByteToChar;
}

QString mapBytes(QByteArrayView bytes, char16_t (*map)(unsigned char))
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) *out++ = QChar(map(static_cast<unsigned char>(byte)));
    return text;
}

// The code page's table, shared with the EDL loader (the header needs no library).
char16_t windows1252(unsigned char byte)
{
    return tarvelin::Windows1252ToUnicode(byte);
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding);
    return decoder.decode(bytes);
}

}  // namespace

bool isTickerDownloadSuccess(long httpStatus)
{
    return httpStatus >= 200 && httpStatus <= 299;
}

QByteArray charsetOf(QByteArrayView contentType)
{
    const QList<QByteArray> parts = contentType.toByteArray().split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray parameter = parts[i].trimmed();
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0) continue;
        if (parameter.left(equals).trimmed().toLower() != "charset") continue;
        QByteArray value = parameter.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.mid(1, value.size() - 2).trimmed();
        }
        return value.toLower();
    }
    return {};
}

QString DecodeTickerBody(QByteArrayView contentType, QByteArrayView bytes)
{
    switch (charsetFromName(charsetOf(contentType))) {
        case Charset::Utf8:
            return decodeWith(QStringConverter::Utf8, bytes);
        case Charset::Utf16Be:
            return decodeWith(QStringConverter::Utf16BE, bytes);
        case Charset::Utf16Le:
            return decodeWith(QStringConverter::Utf16LE, bytes);
        case Charset::Utf16:
            return decodeWith(QStringConverter::Utf16, bytes);
        case Charset::Windows1252:
            return mapBytes(bytes, windows1252);
        case Charset::Latin9:
            return mapBytes(bytes, latin9);
        case Charset::ByteToChar:
            break;
    }
    return QString::fromLatin1(bytes);
}

}  // namespace tarvelin::net
