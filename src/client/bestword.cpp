#include "bestword.h"
#include "boardpicture.h"

#include "chatview.h"
#include "preferences.h"
#include "tdictn.h"

#include <QAction>
#include <QCursor>

BestWord::BestWord(QAction *toggle, ClientModel &model, Preferences &prefs, ChatView &chat, QObject *parent)
    : QObject(parent), m_toggle(toggle), m_model(model), m_prefs(prefs), m_chat(chat)
{
    m_toggle->setChecked(m_prefs.showBestWord());
    connect(m_toggle, &QAction::triggered, this, [this] { m_prefs.setShowBestWord(m_toggle->isChecked()); });
    connect(&m_prefs, &Preferences::bestWordChanged, this, [this] { m_toggle->setChecked(m_prefs.showBestWord()); });

    connect(&model, &ClientModel::gameStarted, this, [this] {
        m_lastBoard.reset();
        m_record = GameRecord{m_model.seat(m_model.myslot()).name.toUtf8(), {}};
    });
    connect(&model, &ClientModel::cleared, this, [this] { m_lastBoard.reset(); });
    connect(&model, &ClientModel::turnGiven, this, &BestWord::turnGiven);
    // A shuffle deals a new board within the turn; the refill after a word
    // comes between turns and belongs to the next one.
    connect(&model, &ClientModel::boardChanged, this, [this] {
        if (m_model.currentplayer() != 0)
            m_lastBoard = m_model.board().letters;
    });
    // The word is told before its tiles leave the board.
    connect(&model, &ClientModel::wordMade, this, [this](const ClientModel::WordMade &made) {
        m_lastBoard = m_model.board().letters;
        if (made.seat == m_model.myslot()) {
            rules::Path path;
            for (const auto &[square, letter] : made.tiles)
                path.push_back(square);
            turnEnded(made.word, made.points.toInt(), path);
        }
        m_myTurn = false;
    });
    connect(&model, &ClientModel::timeIsUp, this, [this] { turnEnded(QByteArray(), 0, {}); });
    connect(&model, &ClientModel::winnerDeclared, this, &BestWord::gameOver);
    connect(&chat, &ChatView::gameLinkClicked, this, &BestWord::show);
}

std::optional<game::FoundWord> BestWord::bestOn(const rules::Board &board)
{
    const std::vector<game::FoundWord> found = game::solveBoard(board, TDictn::builtInTree());
    if (found.empty())
        return std::nullopt;
    return found.front();
}

void BestWord::turnGiven(int seat)
{
    // A turn Klot plays for the watching player is not theirs to learn from.
    m_myTurn = seat == m_model.myslot() && !m_model.watchingSelf();
    m_lastBoard = m_model.board().letters;
}

void BestWord::turnEnded(const QByteArray &word, int points, const rules::Path &path)
{
    // A turn Klot took over (the player chose to watch) was not theirs.
    const bool mine = std::exchange(m_myTurn, false) && !m_model.watchingSelf();
    if (!mine || !m_lastBoard)
        return;
    const auto best = bestOn(*m_lastBoard);
    // Every turn of the player's goes in the game's review, shown or not.
    if (m_record.turns.size() < GameRecord::MaxTurns)
        m_record.turns << ReviewTurn{*m_lastBoard, word, word.isEmpty() ? 0 : points,
                word.isEmpty() ? rules::Path{} : path, best ? best->word : QByteArray(), best ? best->score : 0,
                best ? best->path : rules::Path{}};
    if (!m_prefs.showBestWord())
        return;
    // The chat sets a space after a line's head ("Best here:") itself.
    if (best) {
        // The line links to the board it was about, kept for a while.
        const int id = m_nextId++;
        m_shown.push_back({id, *m_lastBoard, *best});
        if (m_shown.size() > size_t(KeptBoards))
            m_shown.erase(m_shown.begin());
        QByteArray line = game::bestWordLine(*best, word, points);
        if (const qsizetype head = line.indexOf(": "); head >= 0)
            line.remove(head + 1, 1);
        m_chat.addLine(line, QStringLiteral("best/%1").arg(id));
    } else
        m_chat.addLine(tr("No word could be made on this board.").toLatin1());
}

void BestWord::gameOver()
{
    m_myTurn = false;
    emit reviewReady(!m_record.turns.isEmpty());
    std::optional<game::FoundWord> best;
    if (m_prefs.showBestWord() && m_lastBoard)
        best = bestOn(*m_lastBoard);
    emit lastBoardBest(best
                    ? tr("Best word on the last board: %1 (%2)").arg(QString::fromLatin1(best->word)).arg(best->score)
                    : QString());
}

void BestWord::show(const QString &target)
{
    if (!target.startsWith(QLatin1String("best/")))
        return;
    const int id = target.mid(5).toInt();
    const auto it = std::find_if(m_shown.begin(), m_shown.end(), [id](const Shown &s) { return s.id == id; });
    if (it == m_shown.end())
        return; // a line older than the boards kept
    if (!m_picture)
        m_picture = new BoardPicture(m_chat.window());
    m_picture->showAt(it->board, it->best.path,
            tr("Best here: %1 for %2").arg(QString::fromLatin1(it->best.word)).arg(it->best.score), QCursor::pos());
}
