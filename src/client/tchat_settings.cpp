// The window bound to the preferences: the text size and colour, the sound
// and word-posting options, the phrases and the window's placement are drawn
// from the model, and the menus change the model (which saves at once).

#include "tchat.h"
#include "ui_tchat.h"

#include "tgamestart.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

void Tchat::setupSettings()
{
    for (QAction *item : {ui->N81, ui->N101, ui->N121, ui->N141}) {
        const int size = item->text().remove(QLatin1Char('&')).toInt();
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, [this, size] { N14Click(size); });
    }
    ui->PostWordsinChatBox1->setEnabled(true);
    connect(ui->PostWordsinChatBox1, &QAction::triggered, this, &Tchat::PostWordsinChatBox1Click);
    ui->ResetScreenLocation1->setEnabled(true);
    connect(ui->ResetScreenLocation1, &QAction::triggered, this, &Tchat::ResetScreenLocation1Click);

    connect(m_prefs, &Preferences::textChanged, this, &Tchat::applyTextSize);
    connect(m_prefs, &Preferences::postWordsChanged, this,
            [this] { ui->PostWordsinChatBox1->setChecked(m_prefs->postWords()); });
}

void Tchat::applyPreferences()
{
    applyTextSize();
    ui->PostWordsinChatBox1->setChecked(m_prefs->postWords());
    m_saved = m_prefs->placement();
    resize(m_saved.size());
    move(m_saved.topLeft());
}

void Tchat::applyTextSize()
{
    const int size = m_prefs->textSize();
    for (QAction *item : {ui->N81, ui->N101, ui->N121, ui->N141})
        item->setChecked(item->text().remove(QLatin1Char('&')).toInt() == size);
}

// A placement that would leave the window on no screen at all (a screen
// unplugged, a smaller desktop) comes back to the primary screen.
void Tchat::placeWindow(const QRect &wanted)
{
    QRect r = wanted;
    bool visible = false;
    for (const QScreen *s : QGuiApplication::screens()) {
        const QRect seen = s->availableGeometry().intersected(r);
        visible = visible || (seen.width() >= 100 && seen.height() >= 50);
    }
    if (!visible && QGuiApplication::primaryScreen())
        r.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(3, 3));
    resize(r.size());
    // A position is the frame's: on a desktop that decorates windows it
    // means something only once the window manager has framed the window
    // (before, the title bar could land above the screen). Wait for the
    // frame, a second at most.
    const bool decorated = QGuiApplication::platformName() == QLatin1String("xcb");
    if (decorated && isVisible() && frameGeometry() == geometry() && m_frameWaits < 20) {
        ++m_frameWaits;
        QTimer::singleShot(50, this, [this, r] {
            placeWindow(r);
            m_saved = QRect(pos(), size());
        });
        return;
    }
    m_frameWaits = 0;
    move(r.topLeft());
}

// Any later save writes where the window is at that moment.
void Tchat::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (m_shown)
        m_prefs->notePlacement(QRect(pos(), size()));
}

void Tchat::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_shown)
        m_prefs->notePlacement(QRect(pos(), size()));
}

void Tchat::N14Click(int size)
{
    m_prefs->setTextSize(size);
}

void Tchat::PostWordsinChatBox1Click()
{
    m_prefs->setPostWords(ui->PostWordsinChatBox1->isChecked());
}

void Tchat::ResetScreenLocation1Click()
{
    placeWindow(Preferences::DefaultPlacement);
}

void Tchat::FormClose()
{
    QRect now(pos(), size());
    if (now == m_saved)
        return;
    // A window larger than the desktop's work area is stored a little smaller,
    // so that it fits next time.
    if (const QScreen *s = screen()) {
        const QRect work = s->availableGeometry();
        if (now.width() > work.width())
            now.setWidth(now.width() - 15);
        if (now.height() > work.height())
            now.setHeight(now.height() - 15);
    }
    m_saved = now;
    m_prefs->setPlacement(now);
}
