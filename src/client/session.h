#pragma once
// How this copy comes to a game and finds others: the command line decides
// between a solo game, hosting and joining; connection troubles are said in
// plain words; the launcher shows beside a solo game; hosting and joining
// from inside the game go through the lobby, with this game announced on the
// local network while it hosts.

#include "internetlobby.h"
#include "lobby.h"
#include "later.h"
#include "message.h"

#include <QObject>
#include <QStringList>

#include <functional>

class ChatView;
class ClientModel;
class Preferences;
class Tdownload;
class Tlobby;
class QWidget;
class Reconnect;
class InternetPlay;

class Session : public QObject {
    Q_OBJECT
public:
    // Starts listening for a hosted game on the port and says where it
    // listens; on failure gives the text the user is shown. The application
    // wires this to the host, so the window never needs the host itself.
    using Listener = std::function<bool(quint16 port, quint16 *listening, QString *error)>;

    Session(ClientModel &model, Preferences &prefs, ChatView &chat, QWidget *window);

    void setListener(Listener listen) { m_listen = std::move(listen); }
    // Ends the hosted game: everybody in it hears the host go, and the port
    // is free again. The application wires this to the host.
    void setHostCloser(std::function<void()> close) { m_closeHost = std::move(close); }
    // The command line (without the program name); defaults to the real one.
    void setArguments(const QStringList &args)
    {
        m_args = args;
        m_argsSet = true;
    }
    // Port of the host to listen on or connect to (tests use an ephemeral one).
    void setPort(quint16 port) { m_port = m_joinPort = port; }
    void setLauncher(Tdownload *launcher);
    // The game's window has been drawn: a launcher waiting for it shows.
    void windowDrawn();
    void setLobby(Later<Tlobby> lobby);
    // A solo start without a name kept asks the player for one (the program
    // does; tests that start windows play as "You").
    void setAskName(bool ask) { m_askName = ask; }

    void processparams();
    // The name this copy plays under.
    QString playerName() const { return m_playername; }
    void hostpress();
    void joinpress();
    QString unreachable(const QString &reason) const;
    void connectFailed(const QString &reason);
    // The host ended the game or removed this user: the window must close,
    // but says why first.
    void connectionLost();
    // Trying to get back into the game after a dropped connection.
    Reconnect &reconnect() { return *m_reconnect; }
    // The window is closing on purpose: a lost connection is no news then.
    void closing();

    void showLobby();
    // Hosting from the lobby: announce this game on the local network.
    void hostFromLobby(const QString &name);
    // Joining from the lobby: this copy leaves its game for the other.
    void joinFromLobby(const QString &name, const QString &address);
    void joinFromInternet(const QString &name, const lobby::InternetGame &game);
    // Where this copy is connected, or connecting.
    QString connectAddress() const { return m_connectAddress; }
    quint16 connectPort() const { return m_connectPort; }
    lobby::Announcer &announcer() { return m_announcer; }
    InternetPlay &internetPlay() { return *m_internetPlay; }

signals:
    // This copy hosts (the start button and its menu item are offered) or not.
    void hostingChanged(bool hosting);

private:
    void askName();
    void startSolo(const QString &name);
    // Every change of game: the connection closes, the model starts afresh,
    // and this copy hosts (anew) or joins the address given.
    // A game from the internet lobby is reached through a port of this
    // computer's (see JoinPath) rather than at an address.
    void switchGame(
            const QString &name, const QString &address, bool host, const lobby::InternetGame *internet = nullptr);
    ClientModel &m_model;
    Preferences &m_prefs;
    ChatView &m_chat;
    QWidget *m_window;
    Listener m_listen;
    QStringList m_args;
    bool m_argsSet = false;
    bool m_closing = false;
    quint16 m_port = wire::GamePort; // where this copy listens when it hosts
    quint16 m_joinPort = wire::GamePort; // the joined game's
    QString m_playername;
    QString m_hostaddress;
    QString m_connectAddress;
    quint16 m_connectPort = 0;
    Tdownload *m_launcher = nullptr;
    bool m_windowDrawn = false;
    bool m_launcherWaits = false;
    static constexpr int LauncherRetryMs = 200;
    void showLauncher();
    bool m_askName = false;
    Later<Tlobby> m_lobby;
    lobby::Announcer m_announcer;
    QString m_announcedAs;
    std::function<void()> m_closeHost;
    Reconnect *m_reconnect;
    InternetPlay *m_internetPlay;
};
