#pragma once
// The main window: it draws the client model's mirror of the game and turns
// the local user's clicks and keys into the model's operations.

#include "boardview.h"
#include "chatview.h"
#include "clientmodel.h"
#include "lobby.h"
#include "animationclock.h"
#include "soundplayer.h"
#include "tileimages.h"
#include "preferences.h"

#include <QMainWindow>
#include <QPixmap>
#include <array>
#include <QTimer>

#include <functional>
#include <memory>

namespace Ui {
class Tchat;
}
class Tabout;
class Tgamestart;
class Tspylist;
class Tphrases;
class Ttallylist;
class Thelp;
class Tdownload;
class Tlobby;
class QPushButton;
class QKeyEvent;
class QLabel;
class QFrame;
class QMenu;
class QAction;

class Tchat : public QMainWindow {
    Q_OBJECT
public:
    // The window binds to the preferences it is given (the application loads
    // them before any window shows); without any it reads its own.
    explicit Tchat(Preferences *preferences = nullptr, QWidget *parent = nullptr);
    ~Tchat() override;

    // Starts listening for a hosted game on the port and says where it
    // listens; on failure gives the text the user is shown. The application
    // wires this to the host, so the window never needs the host itself.
    using Listener = std::function<bool(quint16 port, quint16 *listening, QString *error)>;
    void setListener(Listener listen) { m_listen = std::move(listen); }
    void setAbout(Tabout *about);
    void setGamestart(Tgamestart *dialog);
    void setSpylist(Tspylist *dialog);
    void setPhrasesDialog(Tphrases *dialog);
    void setTally(Ttallylist *tally);
    void setHelp(Thelp *help);
    // The launcher shown on a start without arguments.
    void setLauncher(Tdownload *launcher);
    // File -> "Host or Join a Game...".
    void setLobby(Tlobby *lobby);
    void showLobby();
    // Hosting from the lobby: announce this game on the local network.
    void hostFromLobby(const QString &name);
    // Joining from the lobby ends this copy and starts another in its place.
    void joinFromLobby(const QString &name, const QString &address);
    // The arguments of the copy to start once this one has ended (empty: none).
    QStringList restartArguments() const { return m_restartArgs; }
    lobby::Announcer &announcer() { return m_announcer; }

    // Motion and feedback, all timed by one clock that tests can run
    // instantly or by hand.
    ui::AnimationClock &motion() { return m_motion; }
    QLabel *turnBanner() const { return m_banner; }
    bool myTurnHighlighted() const;
    int arrowSecondsLeft() const { return m_arrowTimer.isActive() ? m_arrowLeft : 0; }
    QLabel *arrowCountdown() const { return m_arrowTime; }
    bool shaking() const { return m_motion.isRunning(QStringLiteral("shake")); }
    QLabel *risingPoints() const { return m_points; }
    QFrame *resultsPanel() const { return m_results; }
    // The results' rows as shown, best first: "name<TAB>score<TAB>best word".
    QStringList resultRows() const { return m_resultRows; }
    void showAbout();
    // The other seated players, as the tally's "Players In Current Game".
    QStringList otherSeatedPlayers() const;
    // Where sounds go (tests record them); the window has its own player.
    void setSoundPlayer(SoundPlayer *player);
    // The phrase cooldown's clock, in milliseconds (tests drive it).
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    // The command line (without the program name); defaults to the real one.
    void setArguments(const QStringList &args) { m_args = args; m_argsSet = true; }
    // Port of the host to listen on or connect to (tests use an ephemeral one).
    void setPort(quint16 port) { m_port = port; }

    Ui::Tchat *form() const { return ui.get(); }
    ClientModel &model() { return m_model; }
    const ClientModel &model() const { return m_model; }

    // The popup menus and their items.
    struct Popups {
        QMenu *popup_kick = nullptr;
        QAction *RemoveFromGame1 = nullptr;
        QAction *SettoJustWatch1 = nullptr;
        QAction *UnsetJustWatch1 = nullptr;
        QMenu *popup_chat = nullptr;
        QMenu *popup_entry = nullptr;
        QMenu *popup_smilies = nullptr;
        QAction *ScrollChatOff2 = nullptr; // the view popup's item
        QMenu *popup_sounds = nullptr;
    };
    const Popups &popups() const { return m_popups; }
    int popupTag() const { return m_popupTag; }
    quint32 textColour() const { return m_prefs->textColour(); }
    Preferences &preferences() { return *m_prefs; }
    ChatView &chatView() { return *m_chat; }

    void processparams();
    // Connection troubles, said in plain words.
    void connectFailed(const QString &reason);
    void connectionLost();
    QString unreachable(const QString &reason) const;
    void hostpress();
    void joinpress();

    // "N+text": a chat line from sender N (0 for the system's own lines).
    void addlinetochat(const QByteArray &line) { m_chat->addLine(line); }
    void addlinetochat(const QByteArray &line, quint32 colour) { m_chat->addLine(line, colour); }

    // Roster.
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
    // The sound for the start of the own turn, by the Turn Sound option.
    QString turnSoundName() const;
    void PlaySounds1Click();
    void PlayChatterSounds1Click();
    void New1Click(int tag);
    void b_phrase10Click();
    void wave12Click(int k);
    void playasound(const QByteArray &slot, const QString &name);

    // Phrase buttons 1..9.
    static constexpr int PhraseCount = 9;
    static constexpr qint64 PhraseCooldownMs = 2000;
    QString phrase(int k) const { return m_prefs->phrase(k); }
    void b_phrase1Click(int k);
    void PrhaseList1Click();
    QPushButton *phraseButton(int k) const;
    // The placement the settings gave or the last close stored.
    QRect savedPlacement() const { return m_saved; }
    void ResetScreenLocation1Click();
    void N14Click(int size);
    void PostWordsinChatBox1Click();
    void FormClose();
    double textSize() const { return m_prefs->textSize(); }
    static constexpr QSize PanelSize{777, 530};

    // Tile sets from the folder beside the program.
    static QString tileFolder();
    static QStringList tileFolders();
    // Tests point it elsewhere before the window is made (the menu is built
    // once, then).
    static void setTileFolder(const QString &dir);
    void grouptilesmenu();
    void loadgrouptiles(const QString &name);
    void grouptilesmenuClick(QAction *item);
    QString tileset() const { return m_prefs->tiles(); }
    const TileImages &tiles() const { return imagelist_letters; }

    // The player's input.
    void paintbox_boardMouseUp(Qt::MouseButton button, const QPoint &pixel);
    void image_letter1Click(int k);
    void button_clearClick();
    void button_doneClick();
    void button_shuffleClick();
    void image_direction1Click(int d);
    // A key on the board; true when it was the board's.
    bool boardKey(QKeyEvent *key);
    QLabel *letterSlot(int k) const;
    QLabel *direction(int d) const;
    // What a strip slot shows (-1 empty), as drawn.
    int shownInSlot(int k) const { return slotCodes[size_t(k)]; }
    // The tally's call points.
    void loadchecklist();

    // The Start Game button and menu item: the options, or why not.
    void button_startClick();

signals:
    void closed();
    void soundRequested(const QString &name);
    void tallyGame(const QString &who);
    void tallyWordMade(const QByteArray &word, int points);

public slots:
    void bonusFrameTimer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
    void setupRoster();
    void setupGame();
    void setupSounds();
    void setupPhrases();
    void setupSettings();
    // Draws what the preferences hold: check marks, text, phrases.
    void applyPreferences();
    void applyTextSize(); // the menu's check marks
    void applyPhrases();
    void applySounds();
    void placeWindow(const QRect &r);
    void connectModel();
    void showSlot(int k, int code); // code < 0: the empty slot
    void showShuffles(int seat, int left);
    void hideArrows();
    void setTeamColours(bool team);
    bool handleBoardEvent(QObject *watched, QEvent *event);
    void namePopup(QLabel *label, const QPoint &pos);
    bool refuseWhileWatching();
    void setStatus(const QString &text);
    QByteArray tracedLetters() const;
    void traceTo(const std::vector<QPoint> &target);
    void refuseKey();
    void focusBoardForTurn();

    // Drawing what the model reports.
    void drawSeat(int seat);
    void playerJoined(int slot, const QByteArray &name);
    void playerLeft(int slot, const QByteArray &name);
    void startthegame(const QByteArray &playto, int timePerTurn, bool team, int shuffles);
    void getnextplayer(int seat, int shufflesLeft);
    void gamestats(const ClientModel::GameStats &stats);
    void bonus();
    void timeup();
    void winner(const QString &text, bool seated);
    void notvalid(const QByteArray &word);
    void madeword(const ClientModel::WordMade &made);
    void moving(int direction);
    void drawArrows();
    void drawCountdown(int secondsLeft);

    void setupEffects();
    // The area of a seat's name, score and last word, for panels behind them.
    QRect seatBox(int seat) const;
    void showTurnBanner(int seat);
    void shakeStrip();
    void risePoints(const ClientModel::WordMade &made);
    void traceWord(const ClientModel::WordMade &made);
    void startArrowCountdown();
    void stopArrowCountdown();
    void slideBoard();
    void showResults();
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

    std::unique_ptr<Preferences> m_ownPrefs;
    Preferences *m_prefs;
    std::unique_ptr<Ui::Tchat> ui;
    ClientModel m_model;
    Listener m_listen;
    Tabout *m_about = nullptr;
    Tgamestart *m_gamestart = nullptr;
    Tspylist *m_spylist = nullptr;
    bool m_spyShown = false;
    QStringList m_args;
    bool m_argsSet = false;
    bool m_shown = false;
    quint16 m_port = 7772;
    QString playername;
    QString m_connectAddress;
    quint16 m_connectPort = 0;
    bool m_closing = false;
    QString hostaddress;

    Popups m_popups;
    int m_popupTag = 0;
    TileImages imagelist_letters;
    std::array<int, 8> slotCodes{}; // what each letter slot shows (-1 empty)
    std::unique_ptr<QtSoundPlayer> m_ownPlayer;
    SoundPlayer *m_player = nullptr;
    Tphrases *m_phrases = nullptr;
    Ttallylist *m_tally = nullptr;
    std::function<qint64()> m_clock;
    qint64 m_phraseSentAt = -1;
    int m_traceChoice = 0; // which of the fitting paths Tab has chosen
    QRect m_saved{3, 3, 790, 580};
    int m_frameWaits = 0;
    QTimer bonusTimer;
    int bonusFrame = 0;

    ChatView *m_chat = nullptr;

    Tdownload *m_launcher = nullptr;
    Tlobby *m_lobby = nullptr;
    lobby::Announcer m_announcer;
    QString m_announcedAs;
    QStringList m_restartArgs;

    ui::AnimationClock m_motion;
    QLabel *m_banner = nullptr;
    QFrame *m_myTurnFrame = nullptr;
    std::array<QFrame *, 2> m_teamBacks{}; // behind seats 2 and 4 in a team game
    QLabel *m_points = nullptr;
    QLabel *m_arrowTime = nullptr;
    QFrame *m_results = nullptr;
    QLabel *m_resultsText = nullptr;
    QStringList m_resultRows;
    QTimer m_arrowTimer;
    int m_arrowLeft = 0;
    std::array<int, 7> m_stripX{};
    QString m_statusStyle;
};
