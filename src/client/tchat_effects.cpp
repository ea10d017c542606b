// What makes the game read at a glance: whose turn it is, a refused word's
// shake, points rising from the board, other players' words traced before
// they go, the time left to choose an arrow, tiles sliding into place, and
// the results when a game ends. Only the drawing eases: the model is always
// already as the host says.

#include "tchat.h"
#include "ui_tchat.h"

#include <QGraphicsOpacityEffect>
#include <QtMath>

namespace {
const QString kShake = QStringLiteral("shake");
const QString kPoints = QStringLiteral("points");
const QString kTrace = QStringLiteral("trace");
const QString kSlide = QStringLiteral("slide");
constexpr int kTraceStepMs = 90;
constexpr int kTraceHoldMs = 250;
// The turn banner; %1 is the text's colour (red on my own turn).
const QString kBannerStyle = QStringLiteral("QLabel { background: rgba(255,255,255,200); border: 2px solid #7a5a00;"
                                            " border-radius: 8px; color: %1; font: bold 12pt 'Arial'; }");

QLabel *makeLabel(QWidget *parent, const char *name, const QString &style)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setStyleSheet(style);
    l->setAlignment(Qt::AlignCenter);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->hide();
    return l;
}
} // namespace

void Tchat::setupEffects()
{
    QWidget *central = ui->panel_board;
    m_banner = makeLabel(central, "label_turnbanner", kBannerStyle.arg(QStringLiteral("#3a2a00")));
    m_banner->setGeometry(443, 8, 125, 78);
    m_banner->setWordWrap(true);

    // Behind my seat's name and score while it is my turn.
    m_myTurnFrame = new QFrame(central);
    m_myTurnFrame->setObjectName(QStringLiteral("frame_myturn"));
    m_myTurnFrame->setStyleSheet(QStringLiteral(
        "QFrame#frame_myturn { background: rgba(255,214,74,170); border: 2px solid #c8102e; border-radius: 5px; }"));
    m_myTurnFrame->hide();

    m_points = makeLabel(ui->frame_board, "label_points",
                         QStringLiteral("QLabel { color: #ffd24a; background: rgba(40,30,0,190); border-radius: 6px;"
                                        " font: bold 18pt 'Arial'; padding: 2px 8px; }"));
    m_points->setGraphicsEffect(new QGraphicsOpacityEffect(m_points));

    m_arrowTime = makeLabel(central, "label_arrowtime",
                            QStringLiteral("QLabel { color: white; background: #c8102e; border-radius: 4px;"
                                           " font: bold 9pt 'Arial'; }"));
    m_arrowTime->setGeometry(298, 89, 118, 22);
    m_arrowTimer.setInterval(1000);
    connect(&m_arrowTimer, &QTimer::timeout, this, [this] {
        if (--m_arrowLeft <= 0) {
            stopArrowCountdown();
            return;
        }
        m_arrowTime->setText(QStringLiteral("Choose an arrow: %1").arg(m_arrowLeft));
    });

    m_results = new QFrame(ui->frame_board);
    m_results->setObjectName(QStringLiteral("panel_results"));
    m_results->setStyleSheet(QStringLiteral(
        "QFrame#panel_results { background: rgba(255,255,255,225); border: 2px solid #7a5a00; border-radius: 10px; }"));
    m_results->setGeometry(38, 70, 320, 250);
    m_resultsText = new QLabel(m_results);
    m_resultsText->setGeometry(12, 10, 296, 230);
    m_resultsText->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    m_resultsText->setTextFormat(Qt::RichText);
    m_results->hide();

    // The winner's line over the letter strip, on a dark panel so that the
    // gold text reads on any background.
    ui->panel_winner->setStyleSheet(QStringLiteral(
        "QFrame#panel_winner { background: rgba(20,20,40,215); border-radius: 6px; }"));
    ui->label_winner1->setStyleSheet(QStringLiteral("color: #000000;"));

    // The seven-letter bonus goes over the board, clear of the seat boxes.
    ui->image_bonus->move(ui->frame_board->x() + (ui->frame_board->width() - ui->image_bonus->width()) / 2,
                          ui->frame_board->y() + 40);

    for (int k = 1; k <= 7; ++k)
        m_stripX[size_t(k - 1)] = letterSlot(k)->x();
    m_statusStyle = ui->label_status->styleSheet();
}

QRect Tchat::seatBox(int seat) const
{
    const QLabel *name = seatLabel("label_playername", seat);
    return QRect(name->x() - 4, name->y() - 3, 152, 46);
}

bool Tchat::myTurnHighlighted() const
{
    return m_myTurnFrame && m_myTurnFrame->isVisible();
}

void Tchat::showTurnBanner(int seat)
{
    m_myTurnFrame->hide();
    if (!m_model.isSeat(seat)) {
        m_banner->hide();
        return;
    }
    if (m_model.myTurn()) {
        m_banner->setText(QStringLiteral("Your turn!"));
        m_banner->setStyleSheet(kBannerStyle.arg(QStringLiteral("#c8102e")));
        m_myTurnFrame->setGeometry(seatBox(seat));
        m_myTurnFrame->show();
        m_myTurnFrame->stackUnder(seatLabel("label_playername", seat));
    } else {
        m_banner->setText(m_model.seat(seat).name + QStringLiteral("\nis playing"));
        m_banner->setStyleSheet(kBannerStyle.arg(QStringLiteral("#3a2a00")));
    }
    m_banner->show();
    m_banner->raise();
}

void Tchat::shakeStrip()
{
    ui->label_status->setStyleSheet(QStringLiteral("color: #c8102e; font-weight: bold;"));
    m_motion.start(kShake, 450, [this](double p) {
        // A few quick swings that die away; the strip ends where it was.
        const int dx = p >= 1.0 ? 0 : qRound(std::sin(p * M_PI * 6) * 9 * (1.0 - p));
        for (int k = 1; k <= 7; ++k)
            letterSlot(k)->move(m_stripX[size_t(k - 1)] + dx, letterSlot(k)->y());
        if (p >= 1.0)
            ui->label_status->setStyleSheet(m_statusStyle);
    });
}

void Tchat::risePoints(const ClientModel::WordMade &made)
{
    if (made.tiles.empty())
        return;
    m_points->setText(QStringLiteral("+") + QString::fromLatin1(made.points));
    m_points->adjustSize();
    const QPoint cell = made.tiles.back().first;
    const QPoint centre = ui->paintbox_board->geometry().topLeft() +
                          BoardView::cellRect(qBound(0, cell.x(), 6), qBound(0, cell.y(), 6)).center();
    const QPoint start = centre - QPoint(m_points->width() / 2, m_points->height() / 2);
    m_points->move(start);
    m_points->show();
    m_points->raise();
    auto *fade = static_cast<QGraphicsOpacityEffect *>(m_points->graphicsEffect());
    m_motion.start(kPoints, 900, [this, start, fade](double p) {
        m_points->move(start - QPoint(0, qRound(70 * p)));
        fade->setOpacity(p < 0.6 ? 1.0 : 1.0 - (p - 0.6) / 0.4);
        if (p >= 1.0)
            m_points->hide();
    });
}

void Tchat::traceWord(const ClientModel::WordMade &made)
{
    const int n = int(made.tiles.size());
    if (n == 0)
        return;
    BoardView *board = ui->paintbox_board;
    const auto tiles = made.tiles;
    const int total = n * kTraceStepMs + kTraceHoldMs;
    m_motion.start(kTrace, total, [board, tiles, n, total](double p) {
        if (p >= 1.0) {
            board->setTrace({}, 0);
            return;
        }
        board->setTrace(tiles, std::min(n, int(p * total) / kTraceStepMs + 1));
    });
}

void Tchat::startArrowCountdown()
{
    m_arrowLeft = rules::DirectionWaitSeconds;
    m_arrowTime->setText(QStringLiteral("Choose an arrow: %1").arg(m_arrowLeft));
    m_arrowTime->show();
    m_arrowTime->raise();
    m_arrowTimer.start();
}

void Tchat::stopArrowCountdown()
{
    m_arrowTimer.stop();
    m_arrowLeft = 0;
    m_arrowTime->hide();
}

void Tchat::slideBoard()
{
    m_motion.finish(kTrace);
    BoardView *board = ui->paintbox_board;
    const rules::Board sources = m_model.slideSources();
    m_motion.start(kSlide, 280, [board, sources](double p) { board->setSlide(sources, p); });
}

void Tchat::showResults()
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
            Row r{team == 0 ? QStringLiteral("Team A") : QStringLiteral("Team B"), 0, {}, 0};
            for (int seat = team + 1; seat <= 4; seat += 2) {
                const ClientModel::Seat &s = m_model.seat(seat);
                r.score += s.total;
                if (s.bestPoints > r.bestPoints)
                    std::tie(r.bestPoints, r.best) = std::tie(s.bestPoints, s.bestWord);
            }
            rows.push_back(r);
        }
    } else {
        for (int seat = 1; seat <= 4; ++seat) {
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
        m_resultRows << r.name + QLatin1Char('\t') + QString::number(r.score) + QLatin1Char('\t') +
                            (r.best.isEmpty() ? QString() : QString::fromLatin1(r.best));
        const QString weight = i == 0 ? QStringLiteral("bold") : QStringLiteral("normal");
        html += QStringLiteral("<tr style='font-weight:%1'><td>%2</td><td align='right'>%3</td><td>%4</td></tr>")
                    .arg(weight, r.name.toHtmlEscaped())
                    .arg(r.score)
                    .arg(best.toHtmlEscaped());
    }
    html += QStringLiteral("</table>");
    m_resultsText->setText(html);
    m_results->show();
    m_results->raise();
}

void Tchat::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        m_motion.setSuspended(isMinimized() || !isVisible());
}

void Tchat::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    m_motion.setSuspended(true);
}
