// Start-up, hosting or joining, login and the client's message loop.

#include "tchat.h"
#include "ui_tchat.h"

#include "fieldreader.h"
#include "message.h"
#include "messages.h"
#include "tabout.h"
#include "tserver.h"
#include "tspylist.h"

#include <QCoreApplication>
#include <cstdio>

void Tchat::processparams()
{
    ui->button_start->hide();
    ui->StartGame1->setEnabled(false);
    logintail.clear();

    const QStringList args = m_argsSet ? m_args : QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        addlinetochat("0+Loading Solo Game..Please wait.");
        hostaddress = QStringLiteral("127.0.0.1");
        playername = QStringLiteral("You");
        hostpress();
        return;
    }
    addlinetochat("0+Loading Multi-player Game.. Please Wait.");
    if (args.size() < 3)
        return;
    playername = args[0];
    hostaddress = args[1];
    if (args[2] == QLatin1String("true"))
        hostpress();
    else
        joinpress();
    // The matchmaking client may listen here; nothing is ever said on it.
    Sock11.connectToHost(QStringLiteral("127.0.0.1"), 9001);
}

void Tchat::hostpress()
{
    if (!m_server)
        return;
    QString error;
    if (!m_server->listen(m_port, &error)) {
        ui::showMessage(this, error);
        return;
    }
    logintail = wire::safeName(playername.toLatin1()) + wire::Terminator;
    ishost = true;
    sock.connectToHost(QStringLiteral("127.0.0.1"), m_server->listeningPort());
    ui->button_start->show();
    ui->StartGame1->setEnabled(true);
    if (m_spylist)
        m_spylist->popup_kickhim->setEnabled(true);
}

void Tchat::joinpress()
{
    logintail = wire::safeName(playername.toLatin1()) + wire::Terminator;
    sock.connectToHost(hostaddress, m_port);
    ui->button_start->hide();
    ui->StartGame1->setEnabled(false);
}

void Tchat::sockError(QAbstractSocket::SocketError error)
{
    if (error == QAbstractSocket::HostNotFoundError)
        ui::showMessage(this, QStringLiteral("Host Lookup - Could Not Find Host Entry"));
    // Refused or unanswered connections leave the window unconnected.
}

void Tchat::sendloginfo(const QByteArray &data)
{
    wire::FieldReader r(data + '+');
    myslot = r.number();
    loggedin = true;
    const QByteArray version = m_about ? m_about->versionText().toLatin1() : QByteArray(wire::ProtocolVersion);
    send(wire::Message("CMD_logininfo").field(myslot).field(version).field(logintail).end());
}

void Tchat::send(const QByteArray &message)
{
    if (!loggedin)
        return;
    if (sock.state() != QAbstractSocket::ConnectedState) {
        std::fprintf(stderr, "wordmire: Send - Socket Not Connected\n");
        return;
    }
    sock.write(message);
}

void Tchat::sockRead()
{
    QList<QByteArray> messages;
    m_framer.feed(sock.readAll(), messages);
    for (QByteArray &m : messages)
        receivedlist.enqueue(std::move(m));
    wakeTimer();
}

void Tchat::wakeTimer()
{
    if (!Timer1.isActive() && (!receivedlist.isEmpty() || !phraseready))
        Timer1.start();
}

void Tchat::Timer1Timer()
{
    processsocktimer();
    if (!phraseready) {
        if (++phrasecount > 100) {
            phraseready = true;
            phrasecount = 0;
        }
    }
    if (receivedlist.isEmpty() && phraseready)
        Timer1.stop();
}

void Tchat::processsocktimer()
{
    if (receivedlist.isEmpty())
        return;
    const wire::SplitMessage m = wire::splitMessage(receivedlist.dequeue());
    if (m.command.isEmpty())
        return;
    try {
        dispatch(m.command, m.data);
    } catch (const wire::ConversionError &e) {
        // Shown in the chat rather than as a dialog: a stream of bad messages
        // must not pile up message boxes.
        std::fprintf(stderr, "wordmire: %s\n", e.what());
        addlinetochat("0+" + QByteArray(e.what()));
    }
}

void Tchat::dispatch(const QByteArray &command, const QByteArray &data)
{
    using Handler = void (Tchat::*)(const QByteArray &);
    struct Entry {
        const char *name;
        Handler handler;
    };
    // Compared in this order; the first equal name is handled.
    static const Entry table[] = {
        {"CMD_sendlogininfo", &Tchat::sendloginfo},
        {"CMD_chat", &Tchat::chatrecieved},
        {"CMD_action", &Tchat::chatrecieved},
        {"CMD_newplayerinfo", &Tchat::newplayerinfo},
        {"CMD_havewrongversion", &Tchat::havewrongversion},
        {"CMD_wrongversion", &Tchat::wrongversion},
        {"CMD_existingplayers", &Tchat::newplayerinfo},
        {"CMD_playerdisconnected", &Tchat::playerdisconnected},
        {"CMD_startgame", &Tchat::startthegame},
        {"CMD_nextplayer", &Tchat::getnextplayer},
        {"CMD_winner", &Tchat::winner},
        {"CMD_full", &Tchat::full},
        {"CMD_justwatching", &Tchat::justwatching},
        {"CMD_theboard", &Tchat::theboard},
        {"CMD_notvalid", &Tchat::notvalid},
        {"CMD_madeword", &Tchat::madeword},
        {"CMD_timeup", &Tchat::timeupMessage},
        {"CMD_gamestats", &Tchat::gamestats},
        {"CMD_selectletter", &Tchat::selectletter},
        {"CMD_selectclear", &Tchat::selectclear},
        {"CMD_moving", &Tchat::moving},
        {"CMD_clearletter", &Tchat::clearletter},
        {"CMD_useshuffle", &Tchat::useshuffle},
        {"CMD_shufflesl", &Tchat::shufflesl},
        {"CMD_bonus", &Tchat::bonus},
    };
    for (const Entry &e : table) {
        if (command == e.name) {
            (this->*e.handler)(data);
            return;
        }
    }
}

void Tchat::havewrongversion(const QByteArray &data)
{
    addlinetochat("0+" + data + " has a different version of the game then you.");
}

void Tchat::wrongversion(const QByteArray &)
{
    addlinetochat("0+You have a differnt version of the game then the host.");
}

void Tchat::full(const QByteArray &)
{
    ui::showMessage(this, QStringLiteral("Game is full"));
    close();
}

void Tchat::timeupMessage(const QByteArray &)
{
    timeup();
}

void Tchat::sockInfo(const QString &info)
{
    if (info == QLatin1String("Socket Closed"))
        close();
}
