#pragma once
// The phrase buttons: nine stock phrases sent with one click, at most one
// every two seconds, and the tenth button that opens the chatter sounds.
// The phrases themselves are the preferences'; the buttons only show them.

#include "later.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

class ClientModel;
class Preferences;
class QAction;
class QMenu;
class QPushButton;
class Tphrases;

class PhraseBar : public QObject {
    Q_OBJECT
public:
    static constexpr int PhraseCount = 9;
    static constexpr qint64 PhraseCooldownMs = 2000;

    // The bar's buttons (the last one the chatter sounds) and the menu's
    // Phrase List item.
    struct Widgets {
        std::array<QPushButton *, PhraseCount + 1> buttons;
        QAction *phraseList;
    };
    PhraseBar(const Widgets &w, ClientModel &model, Preferences &prefs, QWidget *window);

    QPushButton *phraseButton(int k) const { return m_buttons[size_t(k - 1)]; }
    QMenu *soundsMenu() const { return m_sounds; }
    // The cooldown's clock, in milliseconds (tests drive it).
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    void setDialog(Later<Tphrases> dialog);

    void b_phrase1Click(int k);
    void b_phrase10Click();
    void wave12Click(int k);
    void PrhaseList1Click();

private:
    void showPhrases();

    ClientModel &m_model;
    Preferences &m_prefs;
    QWidget *m_window;
    std::array<QPushButton *, PhraseCount + 1> m_buttons{};
    QMenu *m_sounds = nullptr;
    Later<Tphrases> m_dialog;
    std::function<qint64()> m_clock;
    qint64 m_sentAt = -1;
    QTimer m_pause; // the phrase buttons stay dimmed while the pause runs
};
