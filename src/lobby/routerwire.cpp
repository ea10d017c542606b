#include "routerwire.h"

#include <QHostAddress>

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpreplyparse.h>

namespace lobby::routerwire {

namespace {

// A whole decimal number of at most `digits` digits.
std::optional<qint64> decimal(QByteArrayView text, int digits)
{
    if (text.isEmpty() || text.size() > digits)
        return std::nullopt;
    qint64 n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

QByteArray hostHeader(const QUrl &url)
{
    return url.host().toLatin1() + ':' + QByteArray::number(url.port(80));
}

QByteArray pathOf(const QUrl &url)
{
    QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
    if (path.isEmpty())
        path = "/";
    if (url.hasQuery())
        path += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    return path;
}

QByteArray xmlEscaped(const QByteArray &text)
{
    return QString::fromLatin1(text).toHtmlEscaped().toLatin1();
}

} // namespace

QByteArray search()
{
    return QByteArray("M-SEARCH * HTTP/1.1\r\n"
                      "HOST: 239.255.255.250:1900\r\n"
                      "MAN: \"ssdp:discover\"\r\n"
                      "MX: 1\r\n"
                      "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n\r\n");
}

std::optional<QUrl> searchAnswer(const QByteArray &datagram)
{
    if (!datagram.startsWith("HTTP/1.1 200") && !datagram.startsWith("HTTP/1.0 200"))
        return std::nullopt;
    for (const QByteArray &line : datagram.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed().toLower() != "location")
            continue;
        const QUrl url(QString::fromLatin1(line.mid(colon + 1).trimmed()), QUrl::StrictMode);
        QHostAddress host;
        if (!url.isValid() || url.scheme() != QLatin1String("http") || !host.setAddress(url.host())
                || host.protocol() != QAbstractSocket::IPv4Protocol)
            return std::nullopt;
        return url;
    }
    return std::nullopt;
}

HttpState readHttp(const QByteArray &raw, bool closed, int maxBody, HttpAnswer *answer)
{
    const qsizetype headerEnd = raw.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return raw.size() > MaxHeader ? HttpState::Bad : closed ? HttpState::Bad : HttpState::Incomplete;
    if (headerEnd > MaxHeader)
        return HttpState::Bad;
    const QList<QByteArray> lines = raw.left(headerEnd).split('\n');
    const QList<QByteArray> status = lines.first().trimmed().split(' ');
    if (status.size() < 2 || !status[0].startsWith("HTTP/1."))
        return HttpState::Bad;
    const std::optional<qint64> code = decimal(status[1], 3);
    if (!code)
        return HttpState::Bad;
    std::optional<qint64> length;
    bool chunked = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed().toLower();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        if (name == "content-length") {
            length = decimal(value, 9);
            if (!length || *length > maxBody)
                return HttpState::Bad;
        } else if (name == "transfer-encoding") {
            chunked = value.toLower().contains("chunked");
        }
    }
    const QByteArray rest = raw.mid(headerEnd + 4);
    answer->status = int(*code);
    if (chunked) {
        QByteArray body;
        qsizetype at = 0;
        for (;;) {
            const qsizetype eol = rest.indexOf("\r\n", at);
            if (eol < 0)
                return rest.size() - at > 32 ? HttpState::Bad : closed ? HttpState::Bad : HttpState::Incomplete;
            bool ok = false;
            const QByteArray sizeText = rest.mid(at, eol - at).split(';').first().trimmed();
            const qint64 size = sizeText.size() <= 8 ? sizeText.toLongLong(&ok, 16) : -1;
            if (!ok || size < 0 || body.size() + size > maxBody)
                return HttpState::Bad;
            if (size == 0) {
                answer->body = body;
                return HttpState::Done;
            }
            if (rest.size() < eol + 2 + size + 2)
                return closed ? HttpState::Bad : HttpState::Incomplete;
            body += rest.mid(eol + 2, size);
            at = eol + 2 + size + 2;
        }
    }
    if (length) {
        if (rest.size() < *length)
            return closed ? HttpState::Bad : HttpState::Incomplete;
        answer->body = rest.left(*length);
        return HttpState::Done;
    }
    if (rest.size() > maxBody)
        return HttpState::Bad;
    if (!closed)
        return HttpState::Incomplete;
    answer->body = rest;
    return HttpState::Done;
}

QByteArray getRequest(const QUrl &url)
{
    return "GET " + pathOf(url) + " HTTP/1.1\r\nHost: " + hostHeader(url) + "\r\nConnection: close\r\n\r\n";
}

std::optional<Service> wanService(const QByteArray &xml, const QUrl &description)
{
    IGDdatas data{};
    parserootdesc(xml.constData(), int(xml.size()), &data);
    if (!data.first.servicetype[0] || !data.first.controlurl[0])
        return std::nullopt;
    UPNPUrls urls{};
    const QByteArray at = description.toEncoded();
    GetUPNPUrls(&urls, &data, at.constData(), 0);
    const QUrl control(QString::fromLatin1(urls.controlURL ? urls.controlURL : ""), QUrl::StrictMode);
    FreeUPNPUrls(&urls);
    // The control address stays on the device that described it.
    if (!control.isValid() || control.scheme() != QLatin1String("http") || control.host() != description.host())
        return std::nullopt;
    return Service{control, QByteArray(data.first.servicetype)};
}

QByteArray soapRequest(const Service &service, const QByteArray &action, const Arguments &arguments)
{
    QByteArray args;
    for (const auto &[name, value] : arguments)
        args += '<' + name + '>' + xmlEscaped(value) + "</" + name + '>';
    const QByteArray body = "<?xml version=\"1.0\"?>\r\n"
                            "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                            "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><u:"
            + action + " xmlns:u=\"" + service.type + "\">" + args + "</u:" + action + "></s:Body></s:Envelope>\r\n";
    return "POST " + pathOf(service.control) + " HTTP/1.1\r\nHost: " + hostHeader(service.control)
            + "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nSOAPAction: \"" + service.type + '#' + action
            + "\"\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

std::optional<SoapAnswer> soapAnswer(const HttpAnswer &http)
{
    if (http.status != 200 && (http.status < 400 || http.status >= 600))
        return std::nullopt;
    NameValueParserData parsed{};
    ParseNameValue(http.body.constData(), int(http.body.size()), &parsed);
    SoapAnswer a;
    if (const char *address = GetValueFromNameValueList(&parsed, "NewExternalIPAddress"))
        a.externalAddress = QString::fromLatin1(address).trimmed().left(64);
    // A failure without a code of its own still fails.
    a.error = -1;
    if (const char *code = GetValueFromNameValueList(&parsed, "errorCode"))
        a.error = int(decimal(QByteArrayView(code).trimmed(), 4).value_or(-1));
    ClearNameValueList(&parsed);
    if (http.status == 200)
        a.error = 0;
    else if (a.error == 0)
        a.error = -1;
    return a;
}

} // namespace lobby::routerwire
