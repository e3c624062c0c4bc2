// Turning the ticker download's answer into text: the success verdict and the charset decoding.
//
// Pure functions over the status code, the Content-Type value and the body bytes, so every rule
// is tested without a network. The transfer itself lives in TickerDownload.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tarvelin::net {

// Only the 2xx class counts as a successful download; redirections are not followed.
bool isTickerDownloadSuccess(long httpStatus);

// The charset parameter of a Content-Type value, lower-cased and unquoted; empty when absent.
QByteArray charsetOf(QByteArrayView contentType);

// Decodes the body by the Content-Type's charset, with every charset the system's converters
// know (UTF-8, UTF-16, windows-1251, ISO-8859-2, KOI8-R, ...). UTF-16 without a byte-order mark
// is big-endian. A type without a charset parameter reads as ISO-8859-1; no Content-Type at all,
// or an unknown charset, maps each byte to the character of the same code. Line breaks are kept
// as they are.
QString DecodeTickerBody(QByteArrayView contentType, QByteArrayView bytes);

}  // namespace tarvelin::net
