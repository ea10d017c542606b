#include "stripview.h"
#include "artscale.h"
#include "look.h"

#include "animationclock.h"
#include "clientmodel.h"
#include "watching.h"
#include "rules.h"
#include "tileimages.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QtMath>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {
const QString kShake = QStringLiteral("shake");
} // namespace

StripView::StripView(
        const Widgets &w, ClientModel &model, const TileImages &tiles, ui::AnimationClock &motion, QWidget *window)
    : QObject(window), m_model(model), m_tiles(tiles), m_motion(motion), m_window(window), m_clear(w.clear),
      m_done(w.done), m_shuffle(w.shuffle)
{
    m_slots = w.letters;
    for (int k = 1; k <= Length; ++k) {
        QLabel *slot = letterSlot(k);
        slot->setAccessibleName(tr("Word letter %1").arg(k));
        slot->installEventFilter(this);
        m_slotX[size_t(k - 1)] = slot->x();
        showSlot(k, -1);
    }
    const struct {
        QPushButton *button;
        const char *picture;
        const char *name;
    } buttons[] = {{m_clear, "button_clear", QT_TRANSLATE_NOOP("StripView", "clear")},
            {m_shuffle, "button_shuffle", QT_TRANSLATE_NOOP("StripView", "Zephyr shuffle")},
            {m_done, "button_done", QT_TRANSLATE_NOOP("StripView", "done")}};
    for (const auto &b : buttons) {
        ui::paintAsPicture(b.button, QLatin1String(b.picture));
        b.button->setAccessibleName(tr(b.name));
        // A click leaves the keyboard with the board (the shuffle button
        // even hides itself, which would pass the focus on to the chat).
        b.button->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_clear, &QPushButton::clicked, this, &StripView::button_clearClick);
    connect(m_done, &QPushButton::clicked, this, &StripView::button_doneClick);
    connect(m_shuffle, &QPushButton::clicked, this, &StripView::button_shuffleClick);
    showButtons(false, false);

    m_preview = new QLabel(letterSlot(1)->parentWidget());
    m_preview->setObjectName(QStringLiteral("label_preview"));
    m_preview->setGeometry(250, 61, 168, 21);
    m_preview->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_preview->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui::setLook(m_preview, {QColor(0x3a, 0x2a, 0x00), {}, {}, 0, 0, {}});
    m_preview->setFont(ui::boldArial(10));
    m_preview->hide();

    ClientModel *m = &model;
    connect(m, &ClientModel::stripChanged, this, [this](int k) {
        showSlot(k, m_model.stripCode(k));
        schedulePreview();
    });
    connect(m, &ClientModel::boardChanged, this, &StripView::schedulePreview);
    m_previewFrame.setSingleShot(true);
    m_previewFrame.setInterval(16);
    connect(&m_previewFrame, &QTimer::timeout, this, &StripView::showPreview);
    connect(m, &ClientModel::gameStarted, this, [this] { showButtons(false, false); });
    connect(m, &ClientModel::cleared, this, [this] {
        showButtons(false, false);
        if (m_flash)
            m_flash->hide();
    });
    connect(m, &ClientModel::turnGiven, this, [this](int, int left) {
        // The shuffle stays offered to whoever has one left, on their own turn.
        if (m_model.myTurn())
            showButtons(true, left > 0);
        else
            showButtons(false, false);
    });
    connect(m, &ClientModel::timeIsUp, this, [this] { showButtons(false, false); });
    connect(m, &ClientModel::wordMade, this, [this] { showButtons(false, false); });
    connect(m, &ClientModel::wordRefused, this, &StripView::shake);
    connect(m, &ClientModel::wordRefused, this, &StripView::flashRefused);
}

void StripView::showButtons(bool clearAndDone, bool shuffle)
{
    m_clear->setVisible(clearAndDone);
    m_done->setVisible(clearAndDone);
    m_shuffle->setVisible(shuffle);
}

bool StripView::eventFilter(QObject *watched, QEvent *event)
{
    // The press is taken too, or an enlarged (scaled) panel never delivers
    // its release.
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonPress) {
        for (int k = 1; k <= Length; ++k)
            if (watched == letterSlot(k)) {
                if (event->type() == QEvent::MouseButtonRelease)
                    image_letter1Click(k);
                return true;
            }
    }
    return QObject::eventFilter(watched, event);
}

void StripView::showSlot(int k, int code)
{
    if (k < 1 || k > Length)
        return;
    letterSlot(k)->setPixmap(slotPicture(code));
    m_codes[size_t(k)] = code;
}

// A slot's picture is drawn once per letter and tile set: a pick then only
// hands the label a picture it already has.
const QPixmap &StripView::slotPicture(int code)
{
    const size_t i = m_tiles.isValidCode(code) ? size_t(code) + 1 : 0;
    QPixmap &pm = m_drawn[i];
    if (!pm.isNull())
        return pm;
    // Drawn at the tiles' own resolution, so doubled tiles stay doubled.
    const qreal ratio = m_tiles[rules::tile::Plain].devicePixelRatio();
    pm = QPixmap(QSize(56, 56) * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    if (i == 0) {
        p.drawPixmap(0, 0, m_tiles[rules::tile::EmptySlot]);
    } else {
        p.drawPixmap(0, 0, m_tiles[rules::tile::Plain]);
        p.drawPixmap(2, 2, m_tiles[code]);
    }
    return pm;
}

namespace {
// The traced path's cells and letters, as the mirror holds them.
rules::Path tracedPath(const ClientBoard &b, QString *letters = nullptr)
{
    rules::Path path;
    for (int k = 1; k <= b.pathcount; ++k) {
        const QPoint cell = b.path[size_t(k)];
        if (!rules::onBoard(cell.x(), cell.y()))
            break;
        path.push_back(cell);
        if (letters)
            *letters += QChar(QLatin1Char(rules::convertoletter(b.letters[cell.x()][cell.y()]))).toUpper();
    }
    return path;
}
} // namespace

int StripView::previewPoints() const
{
    const rules::Path path = tracedPath(m_model.board());
    return path.empty() ? -1 : rules::scoreWord(m_model.board().letters, path);
}

// The preview waits for the next frame: a pick's message to the host goes
// first (the hosting copy relays it on this same thread), and a word typed
// in one go is shown once, not letter by letter.
void StripView::schedulePreview()
{
    if (!m_previewFrame.isActive())
        m_previewFrame.start();
}

void StripView::showPreview()
{
    QString letters;
    const rules::Path path = tracedPath(m_model.board(), &letters);
    m_preview->setVisible(!path.empty());
    if (!path.empty())
        m_preview->setText(tr("%1  %2 pts").arg(letters).arg(rules::scoreWord(m_model.board().letters, path)));
}

void StripView::redraw()
{
    m_drawn = {};
    for (int k = 1; k <= Length; ++k)
        showSlot(k, m_model.stripCode(k));
}

bool StripView::shaking() const
{
    return m_motion.isRunning(kShake);
}

void StripView::shake()
{
    m_motion.start(kShake, 450, [this](double p) {
        // A few quick swings that die away; the strip ends where it was.
        const int dx = p >= 1.0 ? 0 : qRound(std::sin(p * M_PI * 6) * 9 * (1.0 - p));
        for (int k = 1; k <= Length; ++k)
            letterSlot(k)->move(m_slotX[size_t(k - 1)] + dx, letterSlot(k)->y());
    });
}

void StripView::flashRefused()
{
    if (!m_flash) {
        QLabel *first = letterSlot(1), *last = letterSlot(Length);
        m_flash = new QFrame(first->parentWidget());
        m_flash->setObjectName(QStringLiteral("strip_flash"));
        m_flash->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_flash->setGeometry(QRect(first->geometry().topLeft(), last->geometry().bottomRight()).adjusted(-4, -4, 4, 4));
    }
    ui::setLook(m_flash, {{}, QColor(214, 40, 40, 150), {}, 0, 6, {}});
    m_flash->show();
    m_flash->raise();
    m_motion.start(QStringLiteral("refused word"), 600, [this](double p) {
        ui::setLook(m_flash, {{}, QColor(214, 40, 40, int(150 * (1.0 - p))), {}, 0, 6, {}});
        if (p >= 1.0)
            m_flash->hide();
    });
}

void StripView::image_letter1Click(int k)
{
    m_model.takeBack(k);
}

void StripView::button_clearClick()
{
    if (refuseWhileWatching(m_model, m_window))
        return;
    m_model.clearPicks();
    emit soundRequested(Sound::Clear);
}

void StripView::button_doneClick()
{
    if (refuseWhileWatching(m_model, m_window))
        return;
    m_model.submit();
}

void StripView::button_shuffleClick()
{
    m_shuffle->hide();
    if (refuseWhileWatching(m_model, m_window))
        return;
    m_model.useShuffle();
}
