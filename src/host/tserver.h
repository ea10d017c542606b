#pragma once
// The game host: the one authority over connections, seats, the board, the
// turns and the scores. It lives in every copy but listens only in the copy
// that hosts. Clients, the hosting user's own included, reach it only through
// TCP messages.

#include "fieldreader.h"
#include "framer.h"
#include "gametimer.h"
#include "rules.h"
#include "tdictn.h"

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QQueue>
#include <QRandomGenerator>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QTcpServer;
class QTcpSocket;

class TServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 7772;
    static constexpr int MaxUsers = 9;   // slots 1..9 hold users
    static constexpr int SlotTable = 11; // slot 10 only refuses; 11 is never used
    static constexpr int Seats = 4;
    // Far above any real message; a peer that never ends one is cut off here.
    static constexpr qsizetype MaxPending = 64 * 1024;

    struct tplayer {
        QByteArray name;
        bool active = false;
        QTcpSocket *playersock = nullptr;
        int score = 0;
        bool watching = false;
        std::array<QPoint, 7> tiles{};
        int team = 0;
        int shufflesleft = 0;
    };

    explicit TServer(QObject *parent = nullptr);
    ~TServer() override;

    // Where the login's version text is compared from (the about box).
    void setVersionSource(std::function<QByteArray()> source) { m_version = std::move(source); }

    // Starts listening on all local addresses. On failure returns false and
    // sets error to the text the user is shown.
    bool listen(quint16 port, QString *error = nullptr);
    quint16 listeningPort() const;

    // State shared by the host's rules; slots and seats are 1-based.
    std::array<tplayer, SlotTable + 1> tplayers{};
    int slotcount = 0;
    int newslot = 0;
    bool gameon = false;
    int curplayer = 0;
    int lastplayer = 0;
    bool teamgame = false;
    int playto = 0;
    int turntime = 0;
    int timeleft = 0;
    std::array<std::array<int, 7>, 7> board{};
    std::array<int, 2> teamscore{};
    int direction = 0;
    int klotdelay = 0;
    int shufflesetting = 0;

    // The word list, owned by the host window in every copy.
    std::unique_ptr<TDictn> spell;

    QTimer socktimer;          // 10 ms: one queued message per tick
    GameTimer Timer1;          // 1 s: the turn timer; Tag holds the phase
    GameTimer computertimer;   // 1 s: counts klotdelay down

    // Tests step the game timers by calling their tick slots.
    void setManualTimers(bool manual);
    // Tests may pin the random source.
    void setRandomSeed(quint32 seed) { m_rng.seed(seed); }
    // The computer opponent's words.
    void setKlotWords(const QByteArrayList &words) { listbox_words = rules::KlotWords(words); }
    // The computer opponent's words, prepared when first needed.
    const rules::KlotWords &klotWordTable();

    int queuedMessages() const { return receivedlist.size(); }
    qint64 bytesReceived() const { return m_bytesReceived; }
    int Tag() const { return Timer1.Tag; } // the turn's phase

public slots:
    void socktimerTimer();
    void Timer1Timer();
    void computertimerTimer();

public:
    // Game steps, public so that tests can drive them.
    void createmaze();
    void startnextround();
    void findplayer();
    bool checkforwin(int seat);
    void computerplay();
    void playerdone(const QByteArray &data);
    rules::Seating seating() const;

private:
    struct Connection {
        quint64 id = 0;
        int slot = 0;
        wire::Framer framer{MaxPending};
    };
    struct Queued {
        int slot;
        quint64 connection;
        QByteArray text;
    };

    void FormCreate();
    void Sock1Accept();
    void Sock1Read(QTcpSocket *sock);
    void tempsockDisconnect(QTcpSocket *sock);
    void tempsockInfo(QTcpSocket *sock, const QString &info);

    bool senderAllowed(const QByteArray &command, const QByteArray &data, int slot) const;
    void dispatch(const QByteArray &command, const QByteArray &data);

    void receivedlogininfo(const QByteArray &data);
    void kickhim(const QByteArray &data);
    void disconnectsock(int slot);
    void chat(const QByteArray &data);
    void action(const QByteArray &data);
    void playasound(const QByteArray &data);
    void justwatch(const QByteArray &data);
    void startgame(const QByteArray &data);
    void shuffle(const QByteArray &data);
    void selectletter(const QByteArray &data);
    void clearletter(const QByteArray &data);
    void selectclear(const QByteArray &data);
    void direction_(const QByteArray &data);
    void sendGameState(int slot);
    QByteArray boardText() const;

    void sendTo(int slot, const QByteArray &message);
    void sendAll(const QByteArray &message);
    void sendAllBut(int slot, const QByteArray &message);

    QByteArray versionText() const;

    QTcpServer *Sock1 = nullptr;
    QHash<QTcpSocket *, Connection> m_connections;
    QQueue<Queued> receivedlist;
    quint64 m_nextConnection = 1;
    std::function<QByteArray()> m_version;
    QRandomGenerator m_rng;
    qint64 m_bytesReceived = 0;
    rules::KlotWords listbox_words;
};
