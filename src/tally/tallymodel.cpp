#include "tallymodel.h"

namespace {
const QString kZero = QStringLiteral("0");

// A counter that is not a number (only an edited file makes one) counts on
// from 0.
int counter(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? n : 0;
}
} // namespace

TallyModel::TallyModel()
{
    Row own;
    own.fill(kZero);
    m_rows << own;
}

QString TallyModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= Columns)
        return {};
    return m_rows[row][size_t(column)];
}

QString TallyModel::bestWord() const
{
    const Row &own = m_rows[0];
    if (own[5].isEmpty())
        return own[4];
    return own[4] + QStringLiteral(" (") + own[5] + QLatin1Char(')');
}

void TallyModel::loadchecklist(const QStringList &otherPlayers)
{
    m_checklist.clear();
    for (const QString &name : otherPlayers)
        m_checklist << Player{name, isTallied(name)};
}

QStringList TallyModel::tallied() const
{
    QStringList names;
    for (int r = 1; r < m_rows.size(); ++r)
        names << m_rows[r][0];
    return names;
}

int TallyModel::rowOf(const QString &name) const
{
    for (int r = 1; r < m_rows.size(); ++r)
        if (m_rows[r][0].compare(name, Qt::CaseInsensitive) == 0)
            return r;
    return 0;
}

bool TallyModel::isTallied(const QString &name) const
{
    return rowOf(name) != 0;
}

int TallyModel::addit(int column, int row)
{
    if (!counting() || row < 0 || row >= m_rows.size() || column < 0 || column >= Columns)
        return 0;
    QString &c = m_rows[row][size_t(column)];
    const int n = counter(c) + 1;
    c = QString::number(n);
    return n;
}

void TallyModel::addtomineincrease(int column)
{
    addit(column, 0);
}

void TallyModel::anotherword()
{
    addtomineincrease(3);
}

void TallyModel::addtomineset(int points, const QString &word)
{
    if (!counting())
        return;
    bool ok = false;
    const int best = m_rows[0][5].toInt(&ok);
    // A best score that is not a number is left alone; a tie keeps the older
    // word.
    if (!ok || points <= best)
        return;
    m_rows[0][4] = word;
    m_rows[0][5] = QString::number(points);
}

void TallyModel::addgame(const QString &winner)
{
    addtomineincrease(1);
    if (winner == QLatin1String("addtomine"))
        addtomineincrease(2);
    for (const Player &p : m_checklist) {
        const int r = rowOf(p.name);
        if (r == 0)
            continue;
        for (int c = 1; c < Columns; ++c)
            if (m_rows[r][size_t(c)].isEmpty())
                m_rows[r][size_t(c)] = kZero;
        addit(1, r);
        addit(5, r);
        if (m_rows[r][0] == winner) {
            addit(2, r);
            addit(6, r);
        } else if (winner == QLatin1String("addtomine")) {
            addit(3, r);
            addit(7, r);
        } else {
            addit(4, r);
            addit(8, r);
        }
    }
}

bool TallyModel::addOpponent(const QString &name)
{
    if (name.isEmpty() || isTallied(name) || m_rows.size() >= MaxRows)
        return false;
    Row row;
    row.fill(kZero);
    row[0] = name;
    m_rows << row;
    for (Player &p : m_checklist)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            p.checked = true;
    return true;
}

void TallyModel::moverow(int row)
{
    if (row < 1 || row >= m_rows.size())
        return;
    const QString name = m_rows[row][0];
    m_rows.removeAt(row);
    for (Player &p : m_checklist)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            p.checked = false;
}

void TallyModel::reset()
{
    for (int c = 1; c <= 5; ++c)
        m_rows[0][size_t(c)] = kZero;
    // With opponents every row is wiped, the own row too: column 0 empty,
    // the counts "0".
    if (m_rows.size() > 1) {
        for (Row &row : m_rows) {
            row.fill(kZero);
            row[0].clear();
        }
    }
    m_rows.resize(1);
    for (Player &p : m_checklist)
        p.checked = false;
}

QByteArray TallyModel::toText() const
{
    QByteArray out;
    const QByteArray eol = "\r\n";
    out += QByteArray::number(Columns) + eol + QByteArray::number(m_rows.size()) + eol;
    for (int c = 0; c < Columns; ++c)
        for (const Row &row : m_rows)
            out += row[size_t(c)].toLatin1() + eol;
    return out;
}

std::optional<TallyModel> TallyModel::fromText(const QByteArray &text)
{
    // Only the lines a tally of the size it states needs are split off: a
    // text of millions of empty lines costs no more than its own bytes.
    qsizetype at = 0;
    auto nextLine = [&]() -> std::optional<QByteArray> {
        if (at > text.size() || (at == text.size() && text.endsWith('\n')))
            return std::nullopt;
        qsizetype end = text.indexOf('\n', at);
        if (end < 0)
            end = text.size();
        QByteArray l = text.mid(at, end - at);
        at = end + 1;
        if (l.endsWith('\r'))
            l.chop(1);
        return l;
    };
    QList<QByteArray> lines;
    for (int k = 0; k < 2; ++k)
        if (const auto l = nextLine())
            lines << *l;
    if (lines.size() < 2)
        return std::nullopt;
    // The counts: the number at the start of each line (the rest is ignored).
    auto leadingNumber = [](const QByteArray &line) {
        qsizetype n = 0;
        while (n < line.size() && line[n] >= '0' && line[n] <= '9' && n < 9)
            ++n;
        bool ok = false;
        const int v = line.left(n).toInt(&ok);
        return ok ? v : -1;
    };
    const int columns = leadingNumber(lines[0]);
    const int rows = leadingNumber(lines[1]);
    // Only our own shape is a tally: nine columns, the own row and opponents.
    if (columns != Columns || rows < 1 || rows > MaxRows)
        return std::nullopt;
    for (qsizetype k = 0; k < qsizetype(columns) * rows; ++k) {
        const auto l = nextLine();
        if (!l)
            return std::nullopt;
        lines << *l;
    }
    TallyModel m;
    m.m_rows.resize(rows);
    qsizetype i = 2;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            m.m_rows[r][size_t(c)] = QString::fromLatin1(lines[i++]);
    // Session counters count this run only.
    for (int r = 1; r < rows; ++r)
        for (int c = 5; c <= 8; ++c)
            m.m_rows[r][size_t(c)] = kZero;
    return m;
}
