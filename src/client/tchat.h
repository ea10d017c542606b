#pragma once
// The main window: it composes the views that draw the client model's mirror
// of the game (seats, the word strip, the board, the turn panel, the chat,
// the phrase buttons), owns the menus and the small windows, and wires the
// model, the preferences and the views together. Start-up (solo, hosting or
// joining) and finding other players are its own.

#include "animationclock.h"
#include "boardpanel.h"
#include "chatview.h"
#include "clientmodel.h"
#include "lobby.h"
#include "message.h"
#include "later.h"
#include "phrasebar.h"
#include "preferences.h"
#include "seatsview.h"
#include "session.h"
#include "soundmenu.h"
#include "stripview.h"
#include "tilemenu.h"
#include "turnpanel.h"

#include <QMainWindow>

#include <functional>
#include <memory>

namespace Ui {
class Tchat;
}
namespace ui {
class ScaledPanel;
}
class Tabout;
class Tgamestart;
class Tspylist;
class Tphrases;
class Ttallylist;
class Thelp;
class Tdownload;
class Tlobby;
class BestWord;
class ReviewDialog;
class QMenu;
class QAction;

class Tchat : public QMainWindow {
    Q_OBJECT
public:
    // The game review, once the player has asked for it.
    ReviewDialog *review() const { return m_review; }
    // The window binds to the preferences it is given (the application loads
    // them before any window shows); without any it reads its own.
    explicit Tchat(Preferences *preferences = nullptr, QWidget *parent = nullptr);
    ~Tchat() override;

    using Listener = Session::Listener;
    void setListener(Listener listen) { m_session->setListener(std::move(listen)); }
    void setHostCloser(std::function<void()> close) { m_session->setHostCloser(std::move(close)); }
    void setAbout(Later<Tabout> about);
    // The dialogs may come made or be made at their first use (see Later).
    void setGamestart(Later<Tgamestart> dialog);
    void setSpylist(Tspylist *dialog);
    void setPhrasesDialog(Later<Tphrases> dialog) { m_phraseBar->setDialog(std::move(dialog)); }
    void setTally(Later<Ttallylist> tally);
    // Makes the tally (reading its file) through the window, so that the
    // window counts with it from the first game on.
    void makeTally();
    void setHelp(Later<Thelp> help);
    // The launcher shown on a start without arguments.
    void setLauncher(Tdownload *launcher) { m_session->setLauncher(launcher); }
    void setAskName(bool ask) { m_session->setAskName(ask); }
    // File -> "Host or Join a Game...".
    void setLobby(Later<Tlobby> lobby);
    void showLobby() { m_session->showLobby(); }
    // The arguments of the copy to start once this one has ended (empty: none).
    lobby::Announcer &announcer() { return m_session->announcer(); }
    void showAbout();
    // Where sounds go (tests record them); the window has its own player.
    void setSoundPlayer(SoundPlayer *player) { m_sounds->setPlayer(player); }
    // The command line (without the program name); defaults to the real one.
    void setArguments(const QStringList &args) { m_session->setArguments(args); }
    // Port of the host to listen on or connect to (tests use an ephemeral one).
    void setPort(quint16 port) { m_session->setPort(port); }
    Session &session() { return *m_session; }

    Ui::Tchat *form() const { return ui.get(); }
    ClientModel &model() { return m_model; }
    const ClientModel &model() const { return m_model; }
    Preferences &preferences() { return *m_prefs; }
    // The views.
    ChatView &chatView() { return *m_chat; }
    SeatsView &seats() { return *m_seats; }
    const SeatsView &seats() const { return *m_seats; }
    StripView &strip() { return *m_strip; }
    const StripView &strip() const { return *m_strip; }
    TurnPanel &turnPanel() { return *m_turn; }
    const TurnPanel &turnPanel() const { return *m_turn; }
    BoardPanel &board() { return *m_board; }
    PhraseBar &phraseBar() { return *m_phraseBar; }
    // Every bit of motion, timed by one clock that tests can run instantly
    // or by hand.
    ui::AnimationClock &motion() { return m_motion; }

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
    quint32 textColour() const { return m_prefs->textColour(); }
    double textSize() const { return m_prefs->textSize(); }
    QString phrase(int k) const { return m_prefs->phrase(k); }

    // "N+text": a chat line from sender N (0 for the system's own lines).
    void addlinetochat(const QByteArray &line) { m_chat->addLine(line); }
    void addlinetochat(int sender, const QByteArray &text, quint32 colour) { m_chat->addLine(sender, text, colour); }

    // The placement the settings gave or the last close stored.
    QRect savedPlacement() const { return m_saved; }
    void ResetScreenLocation1Click();
    void N14Click(int size);
    void PostWordsinChatBox1Click();
    void FormClose();
    // View -> Full Screen, F11: on and off.
    void FullScreen1Click();
    static constexpr QSize PanelSize{777, 530};

    QString tileset() const { return m_prefs->tiles(); }
    const TileImages &tiles() const { return m_tiles->images(); }

    // The other seated players, as the tally's "Players In Current Game".
    QStringList otherSeatedPlayers() const;
    void loadchecklist();
    // The Start Game button and menu item: the options, or why not.
    void button_startClick();

    // Whether the window has been drawn on the screen once (see drawn()).
    bool isDrawn() const { return m_drawn; }

signals:
    void closed();
    // Once, just after the window was first drawn on the screen: what else
    // the start shows or reads waits for it, so the window a player waits
    // for comes first.
    void drawn();
    void soundRequested(Sound sound);
    void tallyGame(const QString &who);
    void tallyWordMade(const QByteArray &word, int points);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    static constexpr int DrawnAtLatestMs = 1000;
    void markDrawn();
    void FormCreate();
    void setupSettings();
    // Draws what the preferences hold: check marks, tiles, placement.
    void applyPreferences();
    bool mayEndHosting();
    void applyTextSize(); // the menu's check marks
    void placeWindow(const QRect &r);
    void notePlacement();
    void connectModel();
    void turnGiven();

    std::unique_ptr<Preferences> m_ownPrefs;
    Preferences *m_prefs;
    std::unique_ptr<Ui::Tchat> ui;
    ClientModel m_model;
    ui::AnimationClock m_motion;
    TileMenu *m_tiles = nullptr;
    SoundMenu *m_sounds = nullptr;
    BestWord *m_bestWord = nullptr;
    ReviewDialog *m_review = nullptr; // made when first asked for
    // The views, children of this window, taken down first.
    ChatView *m_chat = nullptr;
    SeatsView *m_seats = nullptr;
    StripView *m_strip = nullptr;
    TurnPanel *m_turn = nullptr;
    BoardPanel *m_board = nullptr;
    PhraseBar *m_phraseBar = nullptr;
    Popups m_popups;
    ui::ScaledPanel *m_scaled = nullptr;

    Session *m_session = nullptr;
    // The small windows, made by the application and shown from here.
    struct Dialogs {
        Later<Tabout> about;
        Later<Tgamestart> gamestart;
        Tspylist *spylist = nullptr;
        Later<Ttallylist> tally;
    } m_dialogs;
    bool m_shown = false;
    bool m_drawn = false;
    // The placement the settings gave or the last close stored; how long the
    // first placement has waited for the window manager's frame.
    QRect m_saved = Preferences::DefaultPlacement;
    int m_frameWaits = 0;
    QRect m_normalPlacement; // the last placement that was not full screen
};
