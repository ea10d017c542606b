#include "ttallylist.h"
#include "logging.h"
#include "ui_ttallylist.h"

#include "appfiles.h"
#include "messages.h"
#include "tallyfile.h"

#include <QFileInfo>
#include <QListWidget>

Ttallylist::Ttallylist(QWidget *parent, const QString &path)
    : QDialog(parent), m_path(path.isEmpty() ? settings::besideExecutable(tally::FileName) : path)
{
    setWindowFlag(Qt::Tool);
    const bool had = QFileInfo::exists(m_path);
    tally::Loaded loaded = tally::load(m_path);
    m_model = loaded.model;
    // A tally that starts empty shows 0 for its best word too.
    m_bestIsZero = !had || !loaded.error.isEmpty();
    if (!loaded.error.isEmpty()) {
        // Told once; the unreadable file is kept, a fresh one is written at exit.
        QString text = loaded.error;
        if (!loaded.keptAs.isEmpty())
            text += tr("\n\nThe tally file was kept as ") + loaded.keptAs + tr("; a new tally starts now.");
        ui::showMessage(parentWidget(), text);
    }
}

Ttallylist::~Ttallylist()
{
    savetally();
}

void Ttallylist::ensureForm()
{
    if (ui)
        return;
    ui = std::make_unique<Ui::Ttallylist>();
    ui->setupUi(this);
    ui::plainTextLabels(this);
    connect(ui->checklist, &QListWidget::itemChanged, this, &Ttallylist::checklistClickCheck);
    connect(ui->listbox_tally, &QListWidget::itemChanged, this, &Ttallylist::listbox_tallyClickCheck);
    connect(ui->listbox_tally, &QListWidget::currentRowChanged, this, &Ttallylist::listbox_tallyClick);
    connect(ui->button_reset, &QPushButton::clicked, this, &Ttallylist::button_resetClick);
    connect(ui->button_done, &QPushButton::clicked, this, &QDialog::hide);
    loadtally();
}

Ui::Ttallylist *Ttallylist::form()
{
    ensureForm();
    return ui.get();
}

void Ttallylist::setVisible(bool visible)
{
    if (visible)
        ensureForm();
    QDialog::setVisible(visible);
}

bool Ttallylist::savetally()
{
    QString error;
    if (tally::save(m_path, m_model, &error))
        return true;
    // Saving happens at exit: nobody is left to tell but standard error.
    qCWarning(lcFiles, "%s", qPrintable(error));
    return false;
}

void Ttallylist::loadtally()
{
    showOwn();
    ui->mylabel_4->setText(m_bestIsZero ? QStringLiteral("0") : m_model.bestWord());
    fillLists();
}

void Ttallylist::showOwn()
{
    if (!ui)
        return;
    ui->mylabel_1->setText(m_model.cell(0, 1));
    ui->mylabel_2->setText(m_model.cell(0, 2));
    ui->mylabel_3->setText(m_model.cell(0, 3));
}

// The two lists follow the model; their check boxes change only by the user.
void Ttallylist::fillLists()
{
    if (!ui)
        return;
    m_filling = true;
    ui->checklist->clear();
    for (const TallyModel::Player &p : m_model.checklist()) {
        auto *item = new QListWidgetItem(p.name, ui->checklist);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(p.checked ? Qt::Checked : Qt::Unchecked);
    }
    const int selected = ui->listbox_tally->currentRow();
    ui->listbox_tally->clear();
    for (const QString &name : m_model.tallied()) {
        auto *item = new QListWidgetItem(name, ui->listbox_tally);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    if (selected >= 0 && selected < ui->listbox_tally->count())
        ui->listbox_tally->setCurrentRow(selected);
    m_filling = false;
}

void Ttallylist::showOpponent(int index)
{
    const int row = index + 1;
    if (!ui || index < 0 || row >= m_model.rowCount())
        return;
    for (int c = 1; c <= 8; ++c)
        findChild<QLabel *>(QStringLiteral("label_%1").arg(c))->setText(m_model.cell(row, c));
    const QString name = m_model.cell(row, 0);
    ui->label_hisname->setText(tr("%1 Wins:").arg(name));
    ui->label_hisnametop->setText(tr("%1's Tally").arg(name));
}

void Ttallylist::loadchecklist()
{
    m_model.loadchecklist(m_players ? m_players() : QStringList());
    fillLists();
}

void Ttallylist::anotherword()
{
    m_model.anotherword();
    showOwn();
}

void Ttallylist::addtomineset(int points, const QString &word)
{
    const QString before = m_model.cell(0, 5);
    m_model.addtomineset(points, word);
    if (m_model.cell(0, 5) != before) {
        m_bestIsZero = false;
        if (ui)
            ui->mylabel_4->setText(m_model.bestWord());
    }
}

void Ttallylist::addgame(const QString &winner)
{
    loadchecklist();
    m_model.addgame(winner);
    showOwn();
    if (ui && ui->listbox_tally->currentRow() >= 0)
        showOpponent(ui->listbox_tally->currentRow());
}

void Ttallylist::checklistClickCheck(QListWidgetItem *item)
{
    if (m_filling || item->checkState() != Qt::Checked)
        return;
    // Checking a player follows them; unchecking never stops it.
    if (m_model.addOpponent(item->text()))
        fillLists();
}

void Ttallylist::listbox_tallyClickCheck(QListWidgetItem *item)
{
    if (m_filling || item->checkState() == Qt::Checked)
        return;
    const QString name = item->text();
    if (!ui::askYesNo(this, tr("This will delete %1's Tally, Are you want to delete it?").arg(name))) {
        m_filling = true;
        item->setCheckState(Qt::Checked);
        m_filling = false;
        return;
    }
    m_model.moverow(ui->listbox_tally->row(item) + 1);
    fillLists();
}

void Ttallylist::listbox_tallyClick(int index)
{
    if (!m_filling)
        showOpponent(index);
}

void Ttallylist::button_resetClick()
{
    if (!ui::askYesNo(this, tr("Are you sure you want to reset the Tally?")))
        return;
    m_model.reset();
    m_bestIsZero = true;
    showOwn();
    ui->mylabel_4->setText(QStringLiteral("0"));
    for (int c = 1; c <= 8; ++c)
        findChild<QLabel *>(QStringLiteral("label_%1").arg(c))->setText(QStringLiteral("0"));
    fillLists();
}
