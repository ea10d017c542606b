#include "reviewdialog.h"

#include "boardpicture.h"
#include "messages.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidgetItem *cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString wordOrNone(const QByteArray &word)
{
    return word.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(word);
}

} // namespace

ReviewDialog::ReviewDialog(QWidget *parent)
    : QDialog(parent), m_title(new QLabel(this)), m_table(new QTableWidget(this)),
      m_picture(new BoardPicture(this, {})), m_save(new QPushButton(tr("Save..."), this)),
      m_open(new QPushButton(tr("Open..."), this))
{
    setWindowTitle(tr("Word Mire - Game Review"));
    m_title->setTextFormat(Qt::PlainText);
    m_table->setColumnCount(6);
    m_table->setHorizontalHeaderLabels(
            {tr("Turn"), tr("Your word"), tr("Points"), tr("Best word"), tr("Points"), tr("Share")});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setMinimumWidth(380);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) { showTurn(row); });

    auto *close = new QPushButton(tr("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_save, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getSaveFileName(
                this, tr("Save Game Review"), QString(), QStringLiteral("Game records (*.wmr);;All files (*)"));
        if (!file.isEmpty())
            saveTo(file);
    });
    connect(m_open, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(
                this, tr("Open Game Review"), QString(), QStringLiteral("Game records (*.wmr);;All files (*)"));
        if (!file.isEmpty())
            openFrom(file);
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_open);
    buttons->addWidget(m_save);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *body = new QHBoxLayout;
    body->addWidget(m_table, 1);
    body->addWidget(m_picture, 0, Qt::AlignTop);
    auto *all = new QVBoxLayout(this);
    all->addWidget(m_title);
    all->addLayout(body);
    all->addLayout(buttons);
    resize(720, 360);
}

void ReviewDialog::setRecord(const GameRecord &record)
{
    m_record = record;
    m_title->setText(tr("%1: your turns, the word you played and the best the board held")
                             .arg(QString::fromUtf8(record.player)));
    m_table->clearContents();
    m_table->setRowCount(int(record.turns.size()) + 1);
    int points = 0, best = 0;
    for (int i = 0; i < record.turns.size(); ++i) {
        const ReviewTurn &t = record.turns[i];
        points += t.points;
        best += t.bestPoints;
        m_table->setItem(i, 0, cell(QString::number(i + 1), true));
        m_table->setItem(i, 1, cell(wordOrNone(t.word)));
        m_table->setItem(i, 2, cell(QString::number(t.points), true));
        m_table->setItem(i, 3, cell(wordOrNone(t.best)));
        m_table->setItem(i, 4, cell(QString::number(t.bestPoints), true));
        m_table->setItem(i, 5, cell(QStringLiteral("%1%").arg(shareOf(t.points, t.bestPoints)), true));
    }
    const int total = int(record.turns.size());
    m_table->setItem(total, 0, cell(tr("Total")));
    m_table->setItem(total, 1, cell(QString()));
    m_table->setItem(total, 2, cell(QString::number(points), true));
    m_table->setItem(total, 3, cell(QString()));
    m_table->setItem(total, 4, cell(QString::number(best), true));
    m_table->setItem(total, 5, cell(QStringLiteral("%1%").arg(record.share()), true));
    m_save->setEnabled(!record.turns.isEmpty());
    m_table->setCurrentCell(0, 0);
    showTurn(0);
}

void ReviewDialog::showTurn(int row)
{
    if (row < 0 || row >= m_record.turns.size()) {
        m_picture->setPicture({}, {}, QString());
        return;
    }
    const ReviewTurn &t = m_record.turns[row];
    m_picture->setPicture(t.board, t.bestPath,
            t.best.isEmpty()
                    ? tr("Turn %1: no word on this board").arg(row + 1)
                    : tr("Turn %1: best %2 for %3").arg(row + 1).arg(QString::fromLatin1(t.best)).arg(t.bestPoints),
            t.path);
}

bool ReviewDialog::saveTo(const QString &file)
{
    // Written whole or not at all: a failed save leaves any earlier file be.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(m_record.toText()) < 0 || !out.commit()) {
        ui::showMessage(this, tr("Cannot save the game review: %1").arg(out.errorString()));
        return false;
    }
    return true;
}

bool ReviewDialog::openFrom(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        ui::showMessage(this, tr("Cannot open the game review: %1").arg(in.errorString()));
        return false;
    }
    QString error;
    // One byte past the limit is enough to know it is too large.
    const std::optional<GameRecord> record = GameRecord::fromText(in.read(GameRecord::MaxBytes + 1), &error);
    if (!record) {
        ui::showMessage(this, tr("Cannot open the game review: %1").arg(error));
        return false;
    }
    setRecord(*record);
    return true;
}
