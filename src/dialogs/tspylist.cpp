#include "tspylist.h"
#include "messages.h"
#include "ui_tspylist.h"

#include "fieldreader.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

Tspylist::Tspylist(QWidget *parent) : QDialog(parent)
{
    setWindowFlag(Qt::WindowStaysOnTopHint);
    popup_kickhim = new QAction(tr("Remove From Game"), this);
    connect(popup_kickhim, &QAction::triggered, this, &Tspylist::RemoveFromGameClick);
    popup_kickhim->setEnabled(false); // only the hosting copy enables it
}

Tspylist::~Tspylist() = default;

void Tspylist::ensureForm()
{
    if (ui)
        return;
    ui = std::make_unique<Ui::Tspylist>();
    ui->setupUi(this);
    ui::plainTextLabels(this);
    m_popup = new QMenu(this);
    m_popup->addAction(popup_kickhim);
    ui->listbox_spys->addItems(m_spies);
    ui->listbox_spys->viewport()->setMouseTracking(true);
    ui->listbox_spys->viewport()->installEventFilter(this);
    connect(ui->listbox_spys, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        pointerMovedTo(p);
        m_popup->popup(ui->listbox_spys->viewport()->mapToGlobal(p));
    });
    connect(ui->button_ok, &QPushButton::clicked, this, &QDialog::hide);
}

Ui::Tspylist *Tspylist::form()
{
    ensureForm();
    return ui.get();
}

void Tspylist::setVisible(bool visible)
{
    if (visible)
        ensureForm();
    QDialog::setVisible(visible);
}

bool Tspylist::eventFilter(QObject *watched, QEvent *event)
{
    if (ui && watched == ui->listbox_spys->viewport() && event->type() == QEvent::MouseMove)
        pointerMovedTo(static_cast<QMouseEvent *>(event)->position().toPoint());
    return QDialog::eventFilter(watched, event);
}

void Tspylist::pointerMovedTo(const QPoint &viewportPos)
{
    QListWidgetItem *item = ui ? ui->listbox_spys->itemAt(viewportPos) : nullptr;
    m_hover = item ? ui->listbox_spys->row(item) : -1;
}

void Tspylist::addSpy(const QString &line)
{
    m_spies << line;
    if (ui)
        ui->listbox_spys->addItem(line);
}

void Tspylist::clearSpies()
{
    m_spies.clear();
    if (ui)
        ui->listbox_spys->clear();
    m_hover = -1;
}

bool Tspylist::removeSpy(const QString &line)
{
    for (int i = 0; i < m_spies.size(); ++i) {
        if (m_spies[i].compare(line, Qt::CaseInsensitive) == 0) {
            m_spies.removeAt(i);
            if (ui)
                delete ui->listbox_spys->takeItem(i);
            if (m_hover >= m_spies.size())
                m_hover = -1;
            return true;
        }
    }
    return false;
}

QStringList Tspylist::spies() const
{
    return m_spies;
}

void Tspylist::RemoveFromGameClick()
{
    if (!popup_kickhim->isEnabled() || m_hover < 0 || m_hover >= m_spies.size())
        return;
    const QString &text = m_spies[m_hover];
    const auto slot = wire::parseInt(text.section(QLatin1Char(':'), 0, 0).toLatin1());
    if (slot)
        emit kickRequested(*slot);
}
