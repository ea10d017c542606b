#pragma once
// What is said with a UPnP router over HTTP: the device's description and
// its SOAP control. Anything on the local network may answer, and
// miniupnpc's own HTTP reader has no bound on an answer's size or time, so
// the answers are read here, within the sizes a real router needs, and
// handed to miniupnpc's parsers. Part of the internet module.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <optional>

namespace lobby::routerwire {

// Far more than any real router sends (descriptions run to a few KiB).
constexpr int MaxHeader = 8 * 1024;
constexpr int MaxDescription = 64 * 1024;
constexpr int MaxSoapAnswer = 16 * 1024;
// What may be read for a body of at most maxBody bytes, chunked or not.
constexpr int maxRaw(int maxBody)
{
    return MaxHeader + maxBody + maxBody / 8 + 64;
}

inline constexpr char SsdpGroup[] = "239.255.255.250";
constexpr quint16 SsdpPort = 1900;
constexpr quint16 NatpmpPort = 5351;

// The search for an internet gateway (SSDP). miniupnpc's own search cannot
// be cut short and waits at least a second, which a copy that exits would
// wait out; this one is a datagram out and the answers' LOCATION lines in.
QByteArray search();
// The device's description address from a search answer: an http URL with
// a numeric IPv4 host (a name would need a lookup that may hang).
std::optional<QUrl> searchAnswer(const QByteArray &datagram);

// An HTTP answer in the bytes read so far: Incomplete until whole (or
// `closed` says no more come), Bad when it cannot be read or passes maxBody.
enum class HttpState { Incomplete, Done, Bad };
struct HttpAnswer {
    int status = 0;
    QByteArray body;
};
HttpState readHttp(const QByteArray &raw, bool closed, int maxBody, HttpAnswer *answer);

QByteArray getRequest(const QUrl &url);

// The port-mapping service a description offers (WANIPConnection, else
// WANPPPConnection), its control address made whole; only one on the
// description's own host is taken.
struct Service {
    QUrl control;
    QByteArray type;
};
std::optional<Service> wanService(const QByteArray &xml, const QUrl &description);

using Arguments = QList<QPair<QByteArray, QByteArray>>;
QByteArray soapRequest(const Service &service, const QByteArray &action, const Arguments &arguments);
// A SOAP answer: error 0 and the values for success, else UPnP's error code
// (-1 when a failure says none). nullopt when it does not read.
struct SoapAnswer {
    int error = 0;
    QString externalAddress; // from GetExternalIPAddress
};
std::optional<SoapAnswer> soapAnswer(const HttpAnswer &http);

} // namespace lobby::routerwire
