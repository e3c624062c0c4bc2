#include "net/ServerAddress.h"

#include "net/Maker.h"

namespace tarvelin::net {

QString ServerAddress::hostHeader() const
{
    if (port == 80) return host;
    return host + u':' + QString::number(port);
}

QString ServerAddress::url(QStringView path) const
{
    return QStringLiteral("http://") + hostHeader() + path.toString();
}

std::optional<ServerAddress> parseServerAddress(QStringView text)
{
    text = text.trimmed();
    const qsizetype colon = text.lastIndexOf(u':');
    ServerAddress address;
    if (colon < 0) {
        address.host = text.toString();
    } else {
        bool ok = false;
        const int port = text.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535) return std::nullopt;
        address.host = text.left(colon).toString();
        address.port = port;
    }
    if (address.host.isEmpty()) return std::nullopt;
    return address;
}

ServerAddress makerServer()
{
    const QString override = qEnvironmentVariable("TARVELIN_MAKER_SERVER");
    if (!override.isEmpty()) {
        if (auto address = parseServerAddress(override)) return *address;
    }
    return ServerAddress{QString::fromLatin1(maker::kHost), maker::kPort};
}

}  // namespace tarvelin::net
