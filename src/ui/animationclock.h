#pragma once
// One clock for every bit of motion in the window. Animations are named;
// each gets its progress from 0 to 1 and always ends with exactly 1, so
// whatever it moved is back in place. The clock's timer runs only while an
// animation does, and not at all while the window is hidden or minimised
// (then animations jump to their end). Tests can make every animation end
// as it starts, or step the time by hand.

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace ui {

class AnimationClock : public QObject {
    Q_OBJECT
public:
    using Frame = std::function<void(double progress)>;
    static constexpr int FrameMs = 16;

    explicit AnimationClock(QObject *parent = nullptr);

    // Starts (or restarts) the named animation; the frame is called at once
    // with 0 and then on every tick.
    void start(const QString &name, int durationMs, Frame frame);
    // Jumps the named animation (or all) to its end.
    void finish(const QString &name);
    void finishAll();
    bool isRunning(const QString &name) const { return m_running.contains(name); }
    bool anyRunning() const { return !m_running.isEmpty(); }
    // Frames drawn since the clock was made (for measuring).
    qint64 framesDrawn() const { return m_frames; }

    // Tests: every animation ends as it starts.
    void setInstant(bool instant);
    // Tests: time moves only through advance().
    void setManual(bool manual) { m_manual = manual; }
    void advance(int ms);
    // A hidden window: animations end and new ones end at once.
    void setSuspended(bool suspended);

private:
    struct Animation {
        qint64 start = 0;
        int duration = 0;
        Frame frame;
    };
    qint64 now() const { return m_manual ? m_manualNow : m_elapsed.elapsed(); }
    void tick();

    QMap<QString, Animation> m_running;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    qint64 m_manualNow = 0;
    qint64 m_frames = 0;
    bool m_instant = false;
    bool m_manual = false;
    bool m_suspended = false;
};

} // namespace ui
