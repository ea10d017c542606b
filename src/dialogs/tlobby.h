#pragma once
// "Host or Join a Game...": the user's name, this computer's addresses for
// hosting and what the router said about reaching it from the internet, the
// games heard on the local network and those listed in the internet lobby
// with a Join button each, an address to join by hand, and the internet
// lobby's server and chat.

#include "gamelist.h"
#include "internetlobby.h"
#include "lobby.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QLineEdit;
class QListView;
class QPushButton;

class Tlobby : public QDialog {
    Q_OBJECT
public:
    explicit Tlobby(QWidget *parent = nullptr);

    // Starts or stops listening for hosts (the dialog listens while shown).
    void setListenPort(quint16 port) { m_listenPort = port; }
    lobby::Listener &listener() { return m_listener; }

    void setName(const QString &name);
    QString name() const;
    void setAddress(const QString &address);
    QString address() const;
    // What the host button says it does, and the addresses shown under it.
    // Also keeps this copy's own announcement out of the list.
    void setHosting(bool hosting, const QString &announcedAs = {});
    // The internet lobby whose games and chat the dialog shows (it stays
    // the caller's).
    void setInternet(lobby::InternetLobby *internet);
    // What the router said, shown under the host button.
    void setRouterStatus(const QString &text);
    void setLobbyServer(const QString &server);
    QString lobbyServer() const;
    void setOpenRouterPort(bool on);

    QListView *hostList() const { return m_hosts; }
    GameList &games() { return m_games; }
    // Where the Join button of the game with this key (its internet id or
    // local address) is on the list's viewport; empty when not shown.
    QRect joinButton(const QString &key) const;
    QPushButton *hostButton() const { return m_host; }
    QPushButton *joinButton() const { return m_join; }
    QLabel *statusLabel() const { return m_status; }
    QLabel *routerLabel() const { return m_router; }
    QLabel *lobbyStatusLabel() const { return m_lobbyStatus; }
    QPlainTextEdit *lobbyChat() const { return m_chat; }
    QLineEdit *lobbySay() const { return m_say; }

signals:
    void hostRequested(const QString &name);
    void joinRequested(const QString &name, const QString &address);
    // A game from the internet lobby, by its host's id.
    void joinInternetRequested(const QString &name, const lobby::InternetGame &game);
    void lobbyServerChanged(const QString &server);
    void openRouterPortChanged(bool on);
    // Shown or hidden: the internet lobby is read only while it is shown
    // (or while hosting).
    void browsingChanged(bool browsing);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The games heard on this network, as they stand.
    void showLocalHosts();
    void showInternetGame(const lobby::InternetGame &game);
    // What the list's status line says of it.
    void showListState();
    bool checkName();
    void join(const QString &address);
    void joinRow(const QModelIndex &index);
    void showLobbyState();
    void say();

    lobby::Listener m_listener;
    quint16 m_listenPort = lobby::DefaultPort;
    QLineEdit *m_name;
    QLineEdit *m_address;
    QLineEdit *m_search;
    QPushButton *m_host;
    QPushButton *m_join;
    QLabel *m_addresses;
    QLabel *m_status;
    QListView *m_hosts;
    GameList m_games;
    GameDelegate *m_delegate;
    QString m_ownGame;
    QLabel *m_router;
    QCheckBox *m_openPort;
    QLineEdit *m_server;
    QLabel *m_lobbyStatus;
    QPlainTextEdit *m_chat;
    QLineEdit *m_say;
    QPushButton *m_sayButton;
    lobby::InternetLobby *m_internet = nullptr;
};
