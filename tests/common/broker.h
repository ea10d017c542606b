#pragma once
// A real Mosquitto broker for a test, on a free loopback port, with the
// settings and access list we ship or, standing in for a broker that lies,
// with no access list at all.

#include <QFile>
#include <QNetworkProxy>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

class Broker {
public:
    // Extra lines go to the listener (TLS files, say).
    explicit Broker(bool shippedAcl, const QByteArray &listenerLines = {})
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
        probe.close();
        QFile shipped(QStringLiteral(WM_SOURCE_DIR "/deploy/mosquitto/mosquitto.conf"));
        shipped.open(QIODevice::ReadOnly);
        QByteArray conf = shipped.readAll();
        conf.replace("listener 1883", "listener " + QByteArray::number(port) + " 127.0.0.1\n" + listenerLines);
        conf.replace("acl_file /etc/mosquitto/wordmire.acl",
                shippedAcl ? "acl_file " WM_SOURCE_DIR "/deploy/mosquitto/wordmire.acl" : "");
        if (!shippedAcl)
            conf.replace("max_packet_size 4096", "");
        QFile file(dir.filePath(QStringLiteral("mosquitto.conf")));
        file.open(QIODevice::WriteOnly);
        file.write(conf);
        file.close();
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("mosquitto"), {QStringLiteral("-c"), file.fileName()});
        process.waitForStarted();
        // Listening once a client gets in.
        for (int i = 0; i < 100 && !reachable(); ++i)
            QTest::qWait(30);
    }
    ~Broker()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
    bool reachable() const
    {
        QTcpSocket s;
        s.setProxy(QNetworkProxy::NoProxy);
        s.connectToHost(QHostAddress::LocalHost, port);
        return s.waitForConnected(200);
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port); }

    QTemporaryDir dir;
    QProcess process;
    quint16 port = 0;
};
