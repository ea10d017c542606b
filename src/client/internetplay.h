#pragma once
// Playing with others over the internet: while this copy hosts, the home
// router is asked to open the game's port and, with a lobby server set, the
// game is listed in the internet lobby under the router's address. With the
// Host or Join dialog open the lobby is read (and its chat shown) even when
// not hosting. Nothing goes to a router or a lobby otherwise: a copy that
// only plays solo talks to neither.

#include "internetlobby.h"
#include "internetpath.h"
#include "lobby.h"
#include "portmap.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class Preferences;

class InternetPlay : public QObject {
    Q_OBJECT
public:
    explicit InternetPlay(Preferences &prefs, QObject *parent = nullptr);

    // What a listing says about this game, asked every few seconds.
    void setSource(std::function<lobby::Announcement()> source) { m_source = std::move(source); }
    void startHosting(quint16 port);
    void stopHosting();
    bool hosting() const { return m_hosting; }
    // The Host or Join dialog is open: the lobby is read while it is.
    void setBrowsing(bool browsing);
    // A new lobby server (empty: none), or the router setting changed.
    void setServer(const QString &server);
    void setOpenRouterPort(bool on);

    lobby::PortMapper &mapper() { return m_mapper; }
    lobby::InternetLobby &internet() { return m_internet; }
    // How others on the internet reach this game, in words.
    QString hostingStatus() const;
    // How this game is listed (while it is).
    std::optional<lobby::InternetGame::Reach> listedReach() const { return m_reach; }

    // Joining a game from the internet lobby: the address for the window
    // to connect to (empty when no local port could be had). The lobby
    // stays open while the game is played: offers travel through it.
    QString join(const lobby::InternetGame &game);
    void leaveJoined();

signals:
    void changed();
    // A line for the hosting or joining player, in the chat.
    void said(const QByteArray &line);

private:
    void connectLobby();
    void publish();
    void closeUnlessUsed();

    Preferences &m_prefs;
    lobby::PortMapper m_mapper;
    lobby::InternetLobby m_internet;
    lobby::IceHost m_iceHost;
    std::unique_ptr<lobby::JoinPath> m_joined;
    std::optional<lobby::InternetGame::Reach> m_reach;
    bool m_identityKept = false;
    std::function<lobby::Announcement()> m_source;
    QTimer m_publish;
    quint16 m_port = 0;
    bool m_hosting = false;
    bool m_browsing = false;
    bool m_listedSaid = false;
};
