#include "net/TickerBody.h"

#include <QList>
#include <QStringDecoder>

namespace tarvelin::net {

namespace {

bool startsWith(QByteArrayView bytes, QByteArrayView prefix)
{
    return bytes.size() >= prefix.size() && bytes.first(prefix.size()) == prefix;
}

// UTF-16 and UTF-32 without a byte-order mark are big-endian (RFC 2781); with one, the mark
// decides and is dropped.
QByteArray withByteOrder(const QByteArray& charset, QByteArrayView bytes)
{
    if (charset == "utf-16") {
        const bool marked = startsWith(bytes, "\xFE\xFF") || startsWith(bytes, "\xFF\xFE");
        return marked ? charset : QByteArray("utf-16be");
    }
    if (charset == "utf-32") {
        const bool marked = startsWith(bytes, QByteArrayView("\x00\x00\xFE\xFF", 4)) ||
                            startsWith(bytes, QByteArrayView("\xFF\xFE\x00\x00", 4));
        return marked ? charset : QByteArray("utf-32be");
    }
    return charset;
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
    const QByteArray charset = charsetOf(contentType);
    // No Content-Type, or one without a charset: ISO-8859-1, one byte to the character of the
    // same code. The same holds for a charset the system does not know.
    if (charset.isEmpty()) {
        return QString::fromLatin1(bytes);
    }
    QStringDecoder decoder(withByteOrder(charset, bytes).constData());
    if (!decoder.isValid()) {
        return QString::fromLatin1(bytes);
    }
    return decoder.decode(bytes);
}

}  // namespace tarvelin::net
