// A hosting copy for the internet play tests, started in the host's network
// namespace: the game's host on its port, the program's own internet play
// (router, lobby listing, answers to joiners' offers) with settings in a
// folder of its own, and the hosting player's own connection, which starts
// a game as soon as a second player has logged in. It prints what the
// hosting player is told, a line at a time.
//
//   internethost BROKER OPENROUTERPORT(0|1)

#include "framer.h"
#include "internetplay.h"
#include "preferences.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const auto say = [](const QByteArray &line) {
        std::printf("%s\n", line.constData());
        std::fflush(stdout);
    };
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("corvelgatehouse.ini"));
    QFile file(ini);
    file.open(QIODevice::WriteOnly);
    file.write("[Wordmire]\nLobbyserver=" + QByteArray(argv[1])
            + "\nOpenrouterport=" + (argv[2][0] == '1' ? "true" : "false") + "\n");
    file.close();
    Preferences prefs(ini);

    TServer server;
    QString error;
    if (!server.listen(TServer::DefaultPort, &error)) {
        say("cannot listen: " + error.toLatin1());
        return 1;
    }
    InternetPlay play(prefs);
    play.setSource([] {
        lobby::Announcement a;
        a.name = QStringLiteral("Hosted");
        a.seatsTaken = 1;
        a.port = TServer::DefaultPort;
        return a;
    });
    QObject::connect(&play, &InternetPlay::said, say);
    QObject::connect(&play, &InternetPlay::changed, [&] { say("status: " + play.hostingStatus().toLatin1()); });
    play.startHosting(TServer::DefaultPort);

    // The hosting player's own window, as a bare connection.
    QTcpSocket own;
    wire::Framer framer;
    QObject::connect(&own, &QTcpSocket::readyRead, [&] {
        QList<QByteArray> messages;
        framer.feed(own.readAll(), messages);
        for (const QByteArray &m : messages) {
            if (m == "CMD_sendlogininfo+1")
                own.write("CMD_logininfo+1+1.0.16+Hosting\xff");
            else if (m.startsWith("CMD_newplayerinfo+2+"))
                own.write("CMD_startgame+Hosting+200+60+f+1+\xff");
            else if (m.startsWith("CMD_startgame"))
                say("game started");
        }
    });
    own.connectToHost(QHostAddress::LocalHost, TServer::DefaultPort);
    return app.exec();
}
