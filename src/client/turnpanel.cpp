#include "turnpanel.h"
#include "artscale.h"
#include "look.h"

#include "animationclock.h"
#include "rules.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPushButton>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>

namespace {
// The turn banner, its text dark, or red on my own turn.
const QColor kBannerText(0x3a, 0x2a, 0x00);
const QColor kRed(0xc8, 0x10, 0x2e);
ui::Look bannerLook(const QColor &text)
{
    return {text, QColor(255, 255, 255, 200), QColor(0x7a, 0x5a, 0x00), 2, 8, {}};
}
const QString kRefused = QStringLiteral("refused");

QLabel *makeLabel(QWidget *parent, const char *name, const ui::Look &look, int points)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    ui::setLook(l, look);
    l->setFont(ui::boldArial(points));
    l->setAlignment(Qt::AlignCenter);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->hide();
    return l;
}
} // namespace

TurnPanel::TurnPanel(const Widgets &w, ClientModel &model, ui::AnimationClock &motion, QWidget *window)
    : QObject(window), m_model(model), m_motion(motion), m_status(w.status), m_timerBar(w.timerBar),
      m_timerText(w.timerText), m_playto(w.playto), m_timePerTurn(w.timePerTurn), m_bonus(w.bonus), m_winner(w.winner),
      m_winnerShade(w.winnerShade), m_winnerPanel(w.winnerPanel), m_results(w.results), m_words(w.words)
{
    QWidget *central = w.central;
    m_banner = makeLabel(central, "label_turnbanner", bannerLook(kBannerText), 12);
    m_banner->setGeometry(443, 8, 125, 78);
    m_banner->setWordWrap(true);
    m_statusFont = m_status->font();

    m_arrows = w.arrows;
    static const char *const slides[] = {QT_TRANSLATE_NOOP("TurnPanel", "Slide down"),
            QT_TRANSLATE_NOOP("TurnPanel", "Slide left"), QT_TRANSLATE_NOOP("TurnPanel", "Slide up"),
            QT_TRANSLATE_NOOP("TurnPanel", "Slide right")};
    for (int d = 1; d <= 4; ++d) {
        QLabel *arrow = direction(d);
        ui::showPicture(arrow, QStringLiteral("arrow%1").arg(d));
        arrow->setAccessibleName(tr(slides[d - 1]));
        arrow->setCursor(Qt::PointingHandCursor);
        arrow->installEventFilter(this);
        arrow->hide();
    }
    m_arrowTime = makeLabel(central, "label_arrowtime", {Qt::white, kRed, {}, 0, 4, {}}, 9);
    m_arrowTime->setGeometry(298, 89, 118, 22);
    m_arrowTimer.setInterval(1000);
    connect(&m_arrowTimer, &QTimer::timeout, this, [this] {
        if (--m_arrowLeft <= 0) {
            stopArrowCountdown();
            return;
        }
        m_arrowTime->setText(tr("Choose an arrow: %1").arg(m_arrowLeft));
    });

    m_barColour = barColour(Seconds60);
    ui::setLook(m_timerBar, {{}, QColor(m_barColour), {}, 0, 0, {}});
    m_timerBar->resize(0, m_timerBar->height());
    m_timerText->raise();

    // The winner's line over the letter strip, gold on a dark panel so that
    // it reads on any background, with a dark copy behind it as a shadow.
    QFont big = m_winner->font();
    big.setPointSize(16);
    big.setBold(true);
    m_winner->setFont(big);
    m_winnerShade->setFont(big);
    ui::setLook(m_winnerShade, {Qt::black, {}, {}, 0, 0, {}});
    ui::setLook(m_winner, {QColor(0xff, 0xd2, 0x4a), {}, {}, 0, 0, {}});
    // Both fill the panel, the text centred in it, the shadow a pixel off.
    const QRect inside = m_winnerPanel->rect().adjusted(6, 0, -6, 0);
    m_winnerShade->setGeometry(inside.translated(1, 1));
    m_winner->setGeometry(inside);
    m_winnerShade->setAlignment(Qt::AlignCenter);
    m_winner->setAlignment(Qt::AlignCenter);
    m_winner->raise();
    ui::setLook(m_winnerPanel, {{}, QColor(20, 20, 40, 215), {}, 0, 6, {}});
    m_winnerPanel->hide();

    m_results->setObjectName(QStringLiteral("panel_results"));
    ui::setLook(m_results, {{}, QColor(255, 255, 255, 225), QColor(0x7a, 0x5a, 0x00), 2, 10, {}});
    m_results->setGeometry(38, 70, 320, 250);
    m_resultsText = new QLabel(m_results);
    m_resultsText->setGeometry(12, 10, 296, 230);
    m_resultsText->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    m_resultsText->setTextFormat(Qt::RichText);
    // The hosting player starts the next game from here, with the options
    // of the last one.
    m_playAgain = new QPushButton(tr("Play Again"), m_results);
    m_playAgain->setObjectName(QStringLiteral("button_playagain"));
    m_playAgain->setGeometry(110, 212, 100, 28);
    m_playAgain->setFocusPolicy(Qt::NoFocus);
    connect(m_playAgain, &QPushButton::clicked, this, &TurnPanel::playAgainRequested);
    // Everybody who played a turn may look back over the game.
    m_review = new QPushButton(tr("Review"), m_results);
    m_review->setObjectName(QStringLiteral("button_review"));
    m_review->setGeometry(218, 212, 90, 28);
    m_review->setFocusPolicy(Qt::NoFocus);
    m_review->hide();
    connect(m_review, &QPushButton::clicked, this, &TurnPanel::reviewRequested);
    m_results->hide();

    // The seven-letter bonus goes over the board, clear of the seat boxes.
    m_bonus->move(w.board.x() + (w.board.width() - m_bonus->width()) / 2, w.board.y() + 40);
    m_bonus->hide();
    m_bonusTimer.setInterval(250);
    connect(&m_bonusTimer, &QTimer::timeout, this, &TurnPanel::bonusFrameTimer);

    ClientModel *m = &model;
    connect(m, &ClientModel::gameStarted, this,
            [this](const QByteArray &playto, int timePerTurn) { gameStarted(playto, timePerTurn); });
    connect(m, &ClientModel::turnGiven, this, &TurnPanel::turnGiven);
    connect(m, &ClientModel::cleared, this, [this] {
        m_bonusTimer.stop();
        for (QWidget *w : std::initializer_list<QWidget *>{m_bonus, m_banner, m_winnerPanel, m_results})
            w->hide();
        stopArrowCountdown();
        drawCountdown(0);
        m_timerText->clear();
        m_words->clear();
        m_playto->clear();
        m_timePerTurn->clear();
        setStatus(QString());
    });
    connect(m, &ClientModel::statsReceived, this, &TurnPanel::statsReceived);
    connect(m, &ClientModel::sevenLetterBonus, this, [this] {
        m_bonusFrame = 0;
        bonusFrameTimer();
        m_bonus->show();
        m_bonusTimer.start();
    });
    connect(m, &ClientModel::timeIsUp, this, [this] {
        setStatus(tr("Time is Up!"));
        // The banner and the status say the same at every moment.
        m_banner->hide();
    });
    connect(m, &ClientModel::wordRefused, this,
            [this](const QByteArray &word) { refuse(tr("%1 is not a valid word.").arg(QString::fromLatin1(word))); });
    connect(m, &ClientModel::wordMade, this, &TurnPanel::wordMade);
    connect(m, &ClientModel::arrowsChanged, this, &TurnPanel::drawArrows);
    connect(m, &ClientModel::moved, this, &TurnPanel::moved);
    connect(m, &ClientModel::winnerDeclared, this, &TurnPanel::winner);
    connect(m, &ClientModel::countdownTick, this, &TurnPanel::drawCountdown);
}

bool TurnPanel::eventFilter(QObject *watched, QEvent *event)
{
    // The press is taken too, or an enlarged (scaled) panel never delivers
    // its release.
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonPress) {
        for (int d = 1; d <= 4; ++d)
            if (watched == direction(d)) {
                if (event->type() == QEvent::MouseButtonRelease)
                    image_direction1Click(d);
                return true;
            }
    }
    return QObject::eventFilter(watched, event);
}

void TurnPanel::setStatus(const QString &text)
{
    m_status->setText(text);
    m_status->setAccessibleName(text);
    QAccessibleEvent event(m_status, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void TurnPanel::clearRefusal(const QString &text)
{
    if (m_status->text() == text)
        setStatus(m_beforeRefusal);
}

void TurnPanel::refuse(const QString &text)
{
    if (m_status->text() != text)
        m_beforeRefusal = m_status->text();
    setStatus(text);
    ui::setLook(m_status, {kRed, {}, {}, 0, 0, {}});
    QFont bold = m_statusFont;
    bold.setBold(true);
    m_status->setFont(bold);
    m_motion.start(kRefused, 450, [this](double p) {
        if (p >= 1.0) {
            ui::setLook(m_status, {});
            m_status->setFont(m_statusFont);
        }
    });
}

void TurnPanel::gameStarted(const QByteArray &playto, int timePerTurn)
{
    m_bonus->hide();
    m_winnerPanel->hide();
    m_words->clear();
    m_results->hide();
    m_playto->setText(tr("Play to Score: ") + QString::fromLatin1(playto));
    m_timePerTurn->setText(tr("Time Per Turn: %1").arg(timePerTurn));
}

void TurnPanel::turnGiven(int seat)
{
    m_bonus->hide();
    if (!m_model.isSeat(seat)) {
        m_banner->hide();
    } else if (m_model.myTurn()) {
        m_banner->setText(tr("Your turn!"));
        ui::setLook(m_banner, bannerLook(kRed));
    } else {
        m_banner->setText(tr("%1\nis playing").arg(m_model.seat(seat).name));
        ui::setLook(m_banner, bannerLook(kBannerText));
    }
    if (m_model.isSeat(seat)) {
        m_banner->show();
        m_banner->raise();
    }
    setStatus(m_model.myTurn() ? tr("Your Turn") : tr("%1's Turn").arg(m_model.seat(seat).name));
}

void TurnPanel::statsReceived(const ClientModel::GameStats &s)
{
    m_playto->setText(tr("Play to Score: ") + QString::fromLatin1(s.playto));
    m_timePerTurn->setText(tr("Time Per Turn: %1").arg(s.timePerTurn));
    if (s.timeleft > 0) {
        const int cur = m_model.currentplayer();
        if (m_model.myTurn())
            setStatus(tr("Create a Word!"));
        else if (m_model.isSeat(cur))
            setStatus(tr("%1's turn.").arg(m_model.seat(cur).name));
        else
            setStatus(QString());
    }
}

void TurnPanel::wordMade(const ClientModel::WordMade &made)
{
    const QString who = m_model.isSeat(made.seat) ? m_model.seat(made.seat).name : QString();
    const QString status =
            tr("%1: %2 for %3 points.").arg(who, QString::fromLatin1(made.word), QString::fromLatin1(made.points));
    setStatus(status);
    m_words->appendPlainText(status);
    m_banner->hide();
    emit wordAnnounced(status);
}

void TurnPanel::image_direction1Click(int d)
{
    m_model.chooseDirection(d);
}

void TurnPanel::drawArrows()
{
    const bool offered = m_model.arrowsFor() != 0;
    for (int d = 1; d <= 4; ++d)
        direction(d)->setVisible(offered);
    // The host chooses for me when its wait runs out: show what is left.
    if (offered && m_model.arrowsFor() == m_model.myslot())
        startArrowCountdown();
    else
        stopArrowCountdown();
}

void TurnPanel::moved(int d)
{
    // The arrow of the chosen direction stays up while the tiles slide.
    if (d >= 1 && d <= 4)
        direction(d)->show();
    stopArrowCountdown();
}

void TurnPanel::startArrowCountdown()
{
    m_arrowLeft = rules::DirectionWaitSeconds;
    m_arrowTime->setText(tr("Choose an arrow: %1").arg(m_arrowLeft));
    m_arrowTime->show();
    m_arrowTime->raise();
    m_arrowTimer.start();
}

void TurnPanel::stopArrowCountdown()
{
    m_arrowTimer.stop();
    m_arrowLeft = 0;
    m_arrowTime->hide();
}

// The bar warns as the time runs out: amber from 10 s, red from 5 s.
QString TurnPanel::barColour(int secondsLeft)
{
    return secondsLeft <= 5     ? QStringLiteral("#d62828")
            : secondsLeft <= 10 ? QStringLiteral("#f0a202")
                                : QStringLiteral("#3cb043");
}

void TurnPanel::drawCountdown(int left)
{
    const QString colour = barColour(left);
    if (colour != m_barColour) {
        m_barColour = colour;
        ui::setLook(m_timerBar, {{}, QColor(colour), {}, 0, 0, {}});
    }
    m_timerBar->resize(left, m_timerBar->height());
    // The bar is a few pixels wide by then: in the last ten seconds the time
    // itself stands in a box of the warning colour.
    const QString box = left >= 1 && left <= 10 ? colour : QString();
    if (box != m_timeBoxColour) {
        m_timeBoxColour = box;
        QFont f = m_timerText->font();
        f.setBold(!box.isEmpty());
        m_timerText->setFont(f);
        ui::setLook(m_timerText, box.isEmpty() ? ui::Look{} : ui::Look{Qt::white, QColor(box), {}, 0, 3, {2, 0, 2, 0}});
    }
    m_timerText->setText(tr("Time: %1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0')));
}

void TurnPanel::bonusFrameTimer()
{
    if (m_bonusFrame >= 5) {
        m_bonusTimer.stop();
        return;
    }
    ++m_bonusFrame;
    ui::showPicture(m_bonus, QStringLiteral("bonus%1").arg(m_bonusFrame));
}

void TurnPanel::winner(const QString &text)
{
    m_bonus->hide();
    m_winnerShade->setText(text);
    m_winner->setText(text);
    setStatus(tr("GAME OVER!"));
    // Nothing runs any more: no time, no arrows to choose.
    m_banner->hide();
    stopArrowCountdown();
    drawCountdown(0);
    m_timerText->clear();
    showResults();
    m_winnerPanel->show();
    m_winnerPanel->raise();
}

void TurnPanel::setReviewAvailable(bool available)
{
    m_review->setVisible(available);
}

void TurnPanel::setResultsNote(const QString &note)
{
    m_resultsNote = note;
    if (m_results->isVisible())
        showResults();
}

void TurnPanel::showResults()
{
    struct Row {
        QString name;
        int score;
        QByteArray best;
        int bestPoints;
    };
    std::vector<Row> rows;
    if (m_model.teamGame()) {
        for (int team = 0; team < 2; ++team) {
            Row r{team == 0 ? tr("Team A") : tr("Team B"), 0, {}, 0};
            for (int seat = team + 1; seat <= ClientModel::Seats; seat += 2) {
                const ClientModel::Seat &s = m_model.seat(seat);
                r.score += s.total;
                if (s.bestPoints > r.bestPoints)
                    std::tie(r.bestPoints, r.best) = std::tie(s.bestPoints, s.bestWord);
            }
            rows.push_back(r);
        }
    } else {
        for (int seat = 1; seat <= ClientModel::Seats; ++seat) {
            const ClientModel::Seat &s = m_model.seat(seat);
            if (s.name != ClientModel::Waiting)
                rows.push_back(Row{s.name, s.total, s.bestWord, s.bestPoints});
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) { return a.score > b.score; });
    m_resultRows.clear();
    QString html = QStringLiteral("<p style='font: bold 16pt Arial; color:#3a2a00'>Final Scores</p>"
                                  "<table cellpadding='4' style='font: 11pt Arial'>"
                                  "<tr><th align='left'>Player</th><th align='right'>Score</th>"
                                  "<th align='left'>Best word</th></tr>");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row &r = rows[i];
        const QString best = r.best.isEmpty() ? QStringLiteral("-")
                                              : QString::fromLatin1(r.best) + QStringLiteral(" (%1)").arg(r.bestPoints);
        m_resultRows << r.name + QLatin1Char('\t') + QString::number(r.score) + QLatin1Char('\t')
                        + (r.best.isEmpty() ? QString() : QString::fromLatin1(r.best));
        const QString weight = i == 0 ? QStringLiteral("bold") : QStringLiteral("normal");
        html += QStringLiteral("<tr style='font-weight:%1'><td>%2</td><td align='right'>%3</td><td>%4</td></tr>")
                        .arg(weight, r.name.toHtmlEscaped())
                        .arg(r.score)
                        .arg(best.toHtmlEscaped());
    }
    html += QStringLiteral("</table>");
    if (!m_resultsNote.isEmpty())
        html += QStringLiteral("<p style='font: 10pt Arial; color:#3a2a00'>%1</p>").arg(m_resultsNote.toHtmlEscaped());
    m_resultsText->setText(html);
    m_playAgain->setVisible(m_model.ishost());
    m_results->show();
    m_results->raise();
}
