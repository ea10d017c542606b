#pragma once
// The main window: the local user's view of the game. It keeps a mirror of the
// host's state that changes only when the host's messages arrive.

#include "boardview.h"
#include "clientboard.h"
#include "tileimages.h"
#include "framer.h"

#include <QMainWindow>
#include <QPixmap>
#include <array>
#include <QQueue>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace Ui {
class Tchat;
}
class TServer;
class Tabout;
class Tgamestart;
class Tspylist;
class QLabel;
class QMenu;
class QAction;

class Tchat : public QMainWindow {
    Q_OBJECT
public:
    explicit Tchat(QWidget *parent = nullptr);
    ~Tchat() override;

    // Windows created after this one that it works with.
    void setServer(TServer *server) { m_server = server; }
    void setAbout(Tabout *about);
    void setGamestart(Tgamestart *dialog);
    void setSpylist(Tspylist *dialog);
    // The command line (without the program name); defaults to the real one.
    void setArguments(const QStringList &args) { m_args = args; m_argsSet = true; }
    // Port of the host to listen on or connect to (tests use an ephemeral one).
    void setPort(quint16 port) { m_port = port; }

    Ui::Tchat *form() const { return ui.get(); }

    // Connection state.
    QString playername;
    QString hostaddress;
    QByteArray logintail;
    int myslot = 0;
    bool loggedin = false;
    bool ishost = false;
    int currentplayer = 0;
    int seatcount = 4;
    quint32 systemcolor = 0xFF0000;
    bool phraseready = true;
    int phrasecount = 0;
    ClientBoard board;

    QTcpSocket sock;
    QTcpSocket Sock11;
    QTimer Timer1;

    void processparams();
    void hostpress();
    void joinpress();
    void sendloginfo(const QByteArray &data);
    void sockRead();
    void processsocktimer();
    void sockInfo(const QString &info);

    // Sends a finished message to the host; does nothing before login.
    void send(const QByteArray &message);
    // "N+text": a chat line from sender N (0 for the system's own lines).
    void addlinetochat(const QByteArray &line);
    void addlinetochat(const QByteArray &line, quint32 colour);
    void chatrecieved(const QByteArray &data);
    void sendit();
    void mainchatJump(int number);
    void ClearMainChat1Click();
    void SelectAll1Click();
    void Copy1Click();
    void ScrollChatOff1Click();
    void Paste1Click();
    void button_smiliesClick();
    void N271Click(int tag);
    void TextColor1Click();
    // The colour of the user's own chat lines (0x00BBGGRR).
    void setTextColour(quint32 bgr);

    // Roster.
    void newplayerinfo(const QByteArray &data);
    void playerdisconnected(const QByteArray &data);
    void justwatching(const QByteArray &data);
    void JustWatch1Click();
    void SettoJustWatch1Click();
    void UnsetJustWatch1Click();
    void RemoveFromGame1Click();
    void kicking(int slot);
    // Sets the popup's items for the label it opens on.
    void preparePopup(QLabel *label);
    QLabel *seatLabel(const char *kind, int seat) const;
    // Every game sound goes through here.
    void playsounds(const QString &name);
    // The settings file is read when the host confirms our login.
    void loadsettings();
    QMenu *popup_kick = nullptr;
    QAction *RemoveFromGame1 = nullptr;
    QAction *SettoJustWatch1 = nullptr;
    QAction *UnsetJustWatch1 = nullptr;
    int popupTag = 0;

    // The chat keeps its newest lines only (a flood must not slow the view).
    // Game flow.
    void startthegame(const QByteArray &data);
    void getnextplayer(const QByteArray &data);
    void theboard(const QByteArray &data);
    void gamestats(const QByteArray &data);
    void shufflesl(const QByteArray &data);
    void useshuffle(const QByteArray &data);
    void bonus(const QByteArray &data);
    void timeup();
    void winner(const QByteArray &data);
    void clearthings();
    // Word play and the player's input.
    void selectletter(const QByteArray &data);
    void selectclear(const QByteArray &data);
    void clearletter(const QByteArray &data);
    void notvalid(const QByteArray &data);
    void madeword(const QByteArray &data);
    void moving(const QByteArray &data);
    void paintbox_boardMouseUp(Qt::MouseButton button, const QPoint &pixel);
    void image_letter1Click(int k);
    void pressclear();
    void button_clearClick();
    void pressdone();
    void button_doneClick();
    void button_shuffleClick();
    void image_direction1Click(int d);
    QLabel *letterSlot(int k) const;
    QLabel *direction(int d) const;
    // The tally's call points.
    void loadchecklist();
    void addgame(const QString &who);
    void tallyWord(const QByteArray &word, int points);

    TileImages imagelist_letters;
    QTimer Timer2;       // the turn countdown, once a second
    int Timer2Tag = 0;   // seconds left
    int timePerTurn = 0; // label_Timeperturn's Tag
    int lastdirection = 0;
    bool postWords = false;
    QString turnSound = QStringLiteral("turn");
    std::array<int, 8> slotCodes{}; // what each letter slot shows (-1 empty)
    QTimer bonusTimer;
    int bonusFrame = 0;

    static constexpr int MaxChatLines = 2000;
    int maxChatLines = MaxChatLines;
    quint32 textcolor = 0x000000; // the user's chat colour
    double chatTextSize = 10;
    std::array<QByteArray, 101> links{};
    int lastlink = -1;
    QPixmap imagelist_smilies;
    QMenu *popup_chat = nullptr;
    QMenu *popup_entry = nullptr;
    QMenu *popup_smilies = nullptr;
    QAction *ScrollChatOff2 = nullptr; // the view popup's item

    int queuedMessages() const { return receivedlist.size(); }

    // The Start Game button and menu item: the options, or why not.
    void button_startClick();
    // Where the settings file is written (its contents arrive with the
    // settings); the options dialog calls it on every start.
    void savesettings();

signals:
    void closed();
    void soundRequested(const QString &name);
    void tallyGame(const QString &who);
    void tallyWordMade(const QByteArray &word, int points);

public slots:
    void Timer1Timer();
    void Timer2Timer();
    void bonusFrameTimer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void setupChat();
    void setupRoster();
    void setupGame();
    void showSlot(int k, int code); // code < 0: the empty slot
    void clearSlots();
    void showShuffles(int seat, int left);
    void hideArrows();
    void dropMarks();
    void setTeamColours(bool team);
    bool handleBoardEvent(QObject *watched, QEvent *event);
    void namePopup(QLabel *label, const QPoint &pos);
    void trimChatHistory();
    void dispatch(const QByteArray &command, const QByteArray &data);
    void havewrongversion(const QByteArray &data);
    void wrongversion(const QByteArray &data);
    void full(const QByteArray &data);
    void timeupMessage(const QByteArray &data);
    void wakeTimer();
    void sockError(QAbstractSocket::SocketError error);

    std::unique_ptr<Ui::Tchat> ui;
    TServer *m_server = nullptr;
    Tabout *m_about = nullptr;
    Tgamestart *m_gamestart = nullptr;
    Tspylist *m_spylist = nullptr;
    bool m_spyShown = false;
    QStringList m_args;
    bool m_argsSet = false;
    bool m_shown = false;
    quint16 m_port = 7772;
    wire::Framer m_framer;
    QQueue<QByteArray> receivedlist;
};
