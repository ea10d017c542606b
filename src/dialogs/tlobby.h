#pragma once
// "Host or Join a Game...": the user's name, this computer's addresses for
// hosting, the games heard on the local network with a Join button each, and
// an address to join by hand.

#include "lobby.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
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

    QListWidget *hostList() const { return m_hosts; }
    QPushButton *hostButton() const { return m_host; }
    QPushButton *joinButton() const { return m_join; }
    QLabel *statusLabel() const { return m_status; }

signals:
    void hostRequested(const QString &name);
    void joinRequested(const QString &name, const QString &address);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showHosts();
    bool checkName();
    void join(const QString &address);

    lobby::Listener m_listener;
    quint16 m_listenPort = lobby::DefaultPort;
    QLineEdit *m_name;
    QLineEdit *m_address;
    QPushButton *m_host;
    QPushButton *m_join;
    QLabel *m_addresses;
    QLabel *m_status;
    QListWidget *m_hosts;
    QString m_ownGame;
};
