#pragma once
// The word being built: the seven letter slots above the board and the turn's
// buttons (Clear, Done, Zephyr Shuffle). A click on the last letter takes it
// back; a refused word shakes the strip.

#include "soundplayer.h"
#include "tileimages.h"

#include <QObject>
#include <QPixmap>
#include <QTimer>

#include <array>

namespace ui {
class AnimationClock;
}
class ClientModel;
class QFrame;
class QLabel;
class QPushButton;

class StripView : public QObject {
    Q_OBJECT
public:
    static constexpr int Length = 7;

    // The strip's own widgets on the form.
    struct Widgets {
        std::array<QLabel *, Length> letters;
        QPushButton *clear, *done, *shuffle;
    };
    StripView(
            const Widgets &w, ClientModel &model, const TileImages &tiles, ui::AnimationClock &motion, QWidget *window);

    QLabel *letterSlot(int k) const { return m_slots[size_t(k - 1)]; }
    // Beside the strip while a word is traced: its letters and the points it
    // would score, counted as the host counts them.
    QLabel *preview() const { return m_preview; }
    int previewPoints() const; // -1: nothing traced
    // The host refused the word: the strip washes red for a moment.
    void flashRefused();
    QFrame *refusalFlash() const { return m_flash; }
    // What a slot shows (-1 empty), as drawn.
    int shownInSlot(int k) const { return m_codes[size_t(k)]; }
    bool shaking() const;
    // Draws every slot again (a new tile set).
    void redraw();
    void shake();

    void image_letter1Click(int k);
    void button_clearClick();
    void button_doneClick();
    void button_shuffleClick();

signals:
    void soundRequested(Sound sound);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSlot(int k, int code); // code < 0: the empty slot
    const QPixmap &slotPicture(int code);
    void showButtons(bool clearAndDone, bool shuffle);
    void schedulePreview();
    void showPreview();

    ClientModel &m_model;
    const TileImages &m_tiles;
    ui::AnimationClock &m_motion;
    QWidget *m_window;
    std::array<QLabel *, Length> m_slots{};
    std::array<int, Length + 1> m_codes{}; // 1..7
    std::array<QPixmap, TileImages::Count + 1> m_drawn{}; // by code + 1; 0: the empty slot
    std::array<int, Length> m_slotX{}; // where each slot rests
    QFrame *m_flash = nullptr; // the red wash over a refused word
    QLabel *m_preview = nullptr;
    QTimer m_previewFrame;
    QPushButton *m_clear, *m_done, *m_shuffle;
};
