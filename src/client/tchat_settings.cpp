// The settings file: reading it when the host confirms our login, writing it
// on every option change, the window's placement, the text size and colour
// and word posting.

#include "tchat.h"
#include "ui_tchat.h"

#include "appfiles.h"
#include "colourtext.h"
#include "settings.h"
#include "tgamestart.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextCursor>
#include <QTimer>

void Tchat::setupSettings()
{
    for (QAction *item : {ui->N81, ui->N101, ui->N121, ui->N141}) {
        const int size = item->text().remove(QLatin1Char('&')).toInt();
        item->setProperty("Tag", size);
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, [this, size] { N14Click(size); });
    }
    ui->PostWordsinChatBox1->setEnabled(true);
    connect(ui->PostWordsinChatBox1, &QAction::triggered, this, &Tchat::PostWordsinChatBox1Click);
    ui->ResetScreenLocation1->setEnabled(true);
    connect(ui->ResetScreenLocation1, &QAction::triggered, this, &Tchat::ResetScreenLocation1Click);
    move(m_saved.topLeft());
}

QString Tchat::settingsPath() const
{
    return ui::besideExecutable(settings::FileName);
}

void Tchat::applyTextSize(double size)
{
    chatTextSize = size;
    // Every line takes the new size, as the chat's styles all change at once.
    QTextCursor c(ui->mainchat->document());
    c.select(QTextCursor::Document);
    QTextCharFormat f;
    f.setFontPointSize(size);
    c.mergeCharFormat(f);
    for (QAction *item : {ui->N81, ui->N101, ui->N121, ui->N141})
        item->setChecked(item->property("Tag").toInt() == int(size));
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

void Tchat::loadinifile()
{
    SettingsFile file(settingsPath());
    const settings::Preferences p = settings::read(file.read());
    applyTextSize(p.textsize);
    setTextColour(wire::readColour(p.textcolor).value_or(0x000000));
    for (int k = 1; k <= PhraseCount; ++k)
        if (!p.phrases[size_t(k)].isEmpty())
            setPhrase(k, QString::fromLatin1(p.phrases[size_t(k)]));
    ui->PlaySounds1->setChecked(p.playsounds);
    ui->PostWordsinChatBox1->setChecked(p.postwords);
    if (m_gamestart)
        m_gamestart->setStoredValues(p.playto, p.creationtime, p.shuffles);
    m_tileset = QString::fromLatin1(p.tiles);
    if (m_tileset.toLower() != QLatin1String("classic"))
        loadgrouptiles(m_tileset);
    ui->TurnSound1->setProperty("Tag", p.turnsound);
    for (QAction *item : {ui->Classic1, ui->normal1, ui->New1})
        item->setChecked(item->property("Tag").toInt() == p.turnsound);
    ui->PlayChatterSounds1->setChecked(p.chattersounds);
    placeWindow(QRect(p.left, p.top, p.width, p.height));
    m_saved = QRect(pos(), size());
}

void Tchat::saveinifile()
{
    saveinifile(QRect(pos(), size()));
}

void Tchat::saveinifile(const QRect &placement)
{
    settings::Preferences p;
    p.textsize = int(chatTextSize);
    p.textcolor = wire::colourToText(textcolor);
    p.playsounds = ui->PlaySounds1->isChecked();
    p.postwords = ui->PostWordsinChatBox1->isChecked();
    if (m_gamestart) {
        const game::GameOptions o = m_gamestart->options();
        p.playto = o.playto;
        p.creationtime = o.turntime;
        p.shuffles = o.shuffles;
    } else {
        p.playto = p.creationtime = p.shuffles = std::nullopt;
    }
    p.tiles = m_tileset.isEmpty() ? QByteArray("classic") : m_tileset.toLatin1();
    p.left = placement.x();
    p.top = placement.y();
    p.width = placement.width();
    p.height = placement.height();
    p.turnsound = ui->TurnSound1->property("Tag").toInt();
    p.chattersounds = ui->PlayChatterSounds1->isChecked();
    SettingsFile file(settingsPath());
    file.update([&p](IniFile &ini) { settings::write(ini, p); });
}

void Tchat::savePhrases()
{
    std::array<QByteArray, 10> phrases{};
    for (int k = 1; k <= PhraseCount; ++k)
        phrases[size_t(k)] = phrase(k).toLatin1();
    SettingsFile file(settingsPath());
    file.update([&phrases](IniFile &ini) { settings::writePhrases(ini, phrases); });
}

void Tchat::N14Click(int size)
{
    applyTextSize(size);
    saveinifile();
}

void Tchat::PostWordsinChatBox1Click()
{
    saveinifile();
}

void Tchat::ResetScreenLocation1Click()
{
    placeWindow(QRect(3, 3, 790, 580));
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
    saveinifile(now);
}
