// The window with its settings file and tile sets: real files in a temporary
// folder, read when the stand-in host confirms the login.

#include "appfiles.h"

#include <QApplication>
#include "clientfiles.h"
#include "fakehost.h"
#include "messages.h"
#include "tchat.h"
#include "artscale.h"
#include "scaledpanel.h"
#include "seatsview.h"
#include "tgamestart.h"
#include "ui_tchat.h"
#include "ui_tgamestart.h"

#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QScreen>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A strip of 36 tiles, each a solid colour with a green (transparent) corner.
void writeStrip(const QString &path, QColor colour, QSize size = QSize(36 * 56, 56))
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QPainter p(&img);
    for (int i = 0; i < 36; ++i)
        p.fillRect(i * 56, 0, 10, 10, QColor(0, 255, 0));
    p.end();
    QVERIFY(img.save(path, "BMP"));
}
} // namespace

class TestWindowSettings : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void noSettingsFile();
    void readsAndClamps();
    void optionChangeKeepsOthers();
    void unmovedCloseWritesNothing();
    void tooWideStoredNarrower();
    void fullScreenKeepsThePlacement();
    void minimumSize();
    void panelScalesWithTheWindow_data();
    void panelScalesWithTheWindow();
    void offScreenComesBack_data();
    void offScreenComesBack();
    void tileMenu();
    void choosingATileSet();
    void storedTileSet();
    void keptWithoutLogin_data();
    void keptWithoutLogin();

private:
    void open(const QByteArray &settingsText = QByteArray());
    QString iniPath() const { return settings::besideExecutable("corvelgatehouse.ini"); }
    ClientFiles workDir;
    QTemporaryDir tiles;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<Tchat> chat;
    std::unique_ptr<Tgamestart> options;
};

void TestWindowSettings::init()
{
    workDir.fresh();
    ui::setMessageSink([](const QString &) {});
    QDir(tiles.path()).removeRecursively();
    QDir().mkpath(tiles.path());
    TileMenu::setTileFolder(tiles.path());
}

void TestWindowSettings::cleanup()
{
    chat.reset();
    options.reset();
    host.reset();
    TileMenu::setTileFolder(QString());
    ui::setMessageSink(nullptr);
}

// Writes the settings (if any), opens a window and logs it in.
void TestWindowSettings::open(const QByteArray &settingsText)
{
    if (!settingsText.isNull()) {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(settingsText);
    }
    host = std::make_unique<FakeHost>();
    chat = joinWindow<Tchat>(*host);
    QVERIFY(chat);
    options = std::make_unique<Tgamestart>();
    chat->setGamestart(options.get());
    host->say({"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann+0"});
    QTRY_COMPARE(chat->model().seat(1).name, QString("Ann"));
    host->heard(30);
}

void TestWindowSettings::noSettingsFile()
{
    open();
    const auto *f = chat->form();
    QCOMPARE(options->form()->playtoscore->value(), 110);
    QCOMPARE(options->form()->timeperturn->value(), 70);
    QCOMPARE(options->form()->zephyrshuffle->value(), 1);
    QCOMPARE(chat->tileset(), QString("classic"));
    QCOMPARE(chat->textSize(), 8.0);
    QVERIFY(f->N81->isChecked());
    QCOMPARE(chat->textColour(), 0x000000u);
    QVERIFY(f->PlaySounds1->isChecked());
    QVERIFY(f->PlayChatterSounds1->isChecked());
    QVERIFY(!f->PostWordsinChatBox1->isChecked());
    QVERIFY(f->Classic1->isChecked());
    QCOMPARE(chat->preferences().turnSound(), 0);
    QCOMPARE(chat->pos(), QPoint(3, 3));
    QCOMPARE(chat->savedPlacement().topLeft(), QPoint(3, 3));
    QVERIFY(!QFileInfo::exists(iniPath())); // reading writes nothing
}

void TestWindowSettings::readsAndClamps()
{
    open("[Wordmire]\nTextsize=9\nTextcolor=clNavy\nPlaytoscore=50\nCreationtime=500\nShuffles=x\n"
         "Turnsound=7\nPlaysounds=FALSE\nPostwordsinchatbox=true\nChatterSounds=false\nPhrase6=Wow, WTG!\n"
         "Phrase2=\nTop=40\nLeft=50\nWidth=800\nHeight=600\n");
    const auto *f = chat->form();
    QCOMPARE(chat->textSize(), 9.0);
    for (QAction *a : {f->N81, f->N101, f->N121, f->N141})
        QVERIFY(!a->isChecked());
    QCOMPARE(chat->textColour(), 0x800000u);
    QCOMPARE(options->form()->playtoscore->value(), 100);
    QCOMPARE(options->form()->timeperturn->value(), 120);
    QCOMPARE(options->form()->zephyrshuffle->value(), 1);
    QVERIFY(f->Classic1->isChecked());
    QVERIFY(f->PlaySounds1->isChecked());
    QVERIFY(f->PostWordsinChatBox1->isChecked());
    QVERIFY(!f->PlayChatterSounds1->isChecked());
    QCOMPARE(chat->phrase(6), QString("Wow, WTG!"));
    QCOMPARE(chat->phrase(2), QString("Good One!")); // an empty value keeps the phrase
    QCOMPARE(chat->pos(), QPoint(50, 40));
    QCOMPARE(chat->size(), QSize(800, 600));
}

void TestWindowSettings::optionChangeKeepsOthers()
{
    const QByteArray other = "[Gatehouse]\r\n; a comment\r\nServer = x ; y\r\n\r\n";
    open(other + "[Wordmire]\r\nPhrase1=Hi there\r\n");
    chat->form()->PostWordsinChatBox1->trigger();
    chat->N14Click(12);
    const QByteArray after = readAll(iniPath());
    QVERIFY(after.startsWith(other + "[Wordmire]\r\nPhrase1=Hi there\r\n"));
    QVERIFY(after.contains("Postwordsinchatbox=true\r\n"));
    QVERIFY(after.contains("Textsize=12\r\n"));
    QVERIFY(after.contains("Playtoscore=110\r\n"));
    QVERIFY(chat->form()->N121->isChecked());
    QCOMPARE(chat->form()->memo_words->font().pointSize(), 12); // the word list follows the chat
    // The seat lines follow as far as their boxes have room, and every
    // line of a seat box still fits its height.
    const int seatSize = std::min(12, int(SeatsView::MaxSeatTextSize));
    for (QLabel *line : {chat->form()->label_playername3, chat->form()->label_score3, chat->form()->label_bonus3}) {
        QCOMPARE(line->font().pointSize(), seatSize);
        QVERIFY(QFontMetrics(line->font()).ascent() <= line->height());
    }
    chat->N14Click(8);
    QCOMPARE(chat->form()->label_score2->font().pointSize(), 8);
}

void TestWindowSettings::unmovedCloseWritesNothing()
{
    open("[Wordmire]\nTop=20\nLeft=30\nWidth=800\nHeight=600\n");
    const QByteArray before = readAll(iniPath());
    chat->close();
    QCOMPARE(readAll(iniPath()), before);
}

void TestWindowSettings::tooWideStoredNarrower()
{
    open();
    const QRect work = chat->screen()->availableGeometry();
    chat->resize(work.width() + 100, 600);
    QCOMPARE(chat->width(), work.width() + 100);
    chat->close();
    const QByteArray text = readAll(iniPath());
    QVERIFY2(text.contains("Width=" + QByteArray::number(work.width() + 85) + "\r\n"), text.constData());
    QVERIFY(text.contains("Height=600\r\n"));
}

// Full screen is a way of looking, not a placement: F11 toggles it, the
// menu item follows, and the window's own place and size are what is kept.
void TestWindowSettings::fullScreenKeepsThePlacement()
{
    open();
    chat->resize(795, 590);
    QTest::keyClick(chat.get(), Qt::Key_F11);
    QTRY_VERIFY(chat->isFullScreen());
    QVERIFY(chat->form()->FullScreen1->isChecked());
    QTRY_COMPARE(chat->size(), chat->screen()->geometry().size());
    chat->close();
    const QByteArray text = readAll(iniPath());
    QVERIFY2(text.contains("Width=795\r\n") && text.contains("Height=590\r\n"), text.constData());
    chat->show();
    chat->form()->FullScreen1->trigger();
    QTRY_VERIFY(!chat->isFullScreen());
    QVERIFY(!chat->form()->FullScreen1->isChecked());
}

void TestWindowSettings::minimumSize()
{
    open();
    chat->resize(400, 300);
    QCOMPARE(chat->centralWidget()->width(), 792);
    QCOMPARE(chat->centralWidget()->height(), 542);
}

// The game panel grows with the window, centred and whole, keeping its
// proportions; only a clearly larger window enlarges it, and only a much
// larger one switches to the doubled pictures.
void TestWindowSettings::panelScalesWithTheWindow_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<bool>("enlarged");
    QTest::addColumn<int>("art");
    QTest::newRow("designed size") << QSize(790, 580) << false << 1;
    QTest::newRow("a little larger") << QSize(820, 600) << false << 1;
    QTest::newRow("wider only") << QSize(1600, 580) << false << 1;
    QTest::newRow("a fifth larger") << QSize(950, 690) << true << 1;
    QTest::newRow("1280 x 960") << QSize(1280, 960) << true << 2;
    QTest::newRow("full HD") << QSize(1920, 1080) << true << 2;
}

void TestWindowSettings::panelScalesWithTheWindow()
{
    QFETCH(QSize, window);
    QFETCH(bool, enlarged);
    QFETCH(int, art);
    open();
    // Typing goes on where it went, enlarged or not.
    QApplication::setActiveWindow(chat.get());
    chat->form()->mychat->setFocus();
    chat->form()->mychat->clear();
    chat->resize(window);
    auto *view = qobject_cast<ui::ScaledPanel *>(chat->centralWidget());
    QVERIFY(view);
    QTRY_COMPARE(view->size(), chat->centralWidget()->size());
    const QRect shown = view->panelRect();
    const QRect area = view->viewport()->rect();
    QVERIFY2(area.adjusted(-1, -1, 1, 1).contains(shown),
            qPrintable(QStringLiteral("%1,%2 %3x%4")
                               .arg(shown.x())
                               .arg(shown.y())
                               .arg(shown.width())
                               .arg(shown.height())));
    QVERIFY(qAbs(shown.center().x() - area.center().x()) <= 1);
    QVERIFY(qAbs(shown.center().y() - area.center().y()) <= 1);
    QCOMPARE(view->scaleFactor() > 1.0, enlarged);
    // Proportions kept; when enlarged it fills the width or the height.
    QVERIFY(qAbs(shown.width() * 530 - shown.height() * 777) <= 777 * 2);
    if (enlarged)
        QVERIFY(shown.width() >= area.width() - 2 || shown.height() >= area.height() - 2);
    QCOMPARE(ui::ArtScale::instance().scale(), art);
    // The board's tiles follow the pictures' scale.
    QCOMPARE(chat->tiles()[1].devicePixelRatio(), qreal(art));
    QVERIFY(chat->form()->mychat->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), "hi");
    QCOMPARE(chat->form()->mychat->text(), QString("hi"));
    // And back at the designed size.
    chat->resize(790, 580);
    QTRY_COMPARE(view->scaleFactor(), 1.0);
    QVERIFY(chat->form()->mychat->hasFocus());
}

void TestWindowSettings::offScreenComesBack_data()
{
    QTest::addColumn<QByteArray>("geometry");
    QTest::addColumn<bool>("moved"); // back to the screen's corner
    QTest::newRow("off screen") << QByteArray("Top=-5000\nLeft=9000\nWidth=800\nHeight=600") << true;
    QTest::newRow("giant") << QByteArray("Top=0\nLeft=0\nWidth=100000\nHeight=100000") << false;
    QTest::newRow("extremes") << QByteArray("Top=-2147483648\nLeft=-2147483648\nWidth=2147483647\nHeight=2147483647")
                              << true;
    QTest::newRow("negative size") << QByteArray("Top=10\nLeft=10\nWidth=-5\nHeight=-2147483648") << false;
}

// Whatever the file says, the window opens on a screen and no larger than
// the screens are.
void TestWindowSettings::offScreenComesBack()
{
    QFETCH(QByteArray, geometry);
    QFETCH(bool, moved);
    open("[Wordmire]\n" + geometry + "\n");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.intersects(chat->geometry()));
    QVERIFY(chat->width() <= qMax(screen.width(), chat->minimumWidth()));
    QVERIFY(chat->height() <= qMax(screen.height(), chat->minimumHeight()));
    if (moved)
        QCOMPARE(chat->pos(), screen.topLeft() + QPoint(3, 3));
}

void TestWindowSettings::tileMenu()
{
    const QDir d(tiles.path());
    writeStrip(d.filePath("wood.bmp"), QColor(160, 110, 60));
    writeStrip(d.filePath("wood.BMP"), Qt::red); // the same name again
    writeStrip(d.filePath("9lives.bmp"), Qt::red); // not an identifier
    writeStrip(d.filePath("dark.old.bmp"), Qt::red); // names the set "dark"
    writeStrip(d.filePath("notes.txt"), Qt::red);
    open();
    QStringList items;
    for (QAction *a : chat->form()->Tiles1->actions())
        if (!a->isSeparator())
            items << a->text() + "/" + a->objectName() + (a->isChecked() ? "*" : "");
    QCOMPARE(items, (QStringList{"Classic/classic3*", "Dark/dark3", "Wood/wood3"}));
    // "dark" has no dark.bmp: choosing it keeps the images (and the tick on
    // Classic), still stores it.
    const QImage before = chat->tiles()[1].toImage();
    chat->findChild<QAction *>("dark3")->trigger();
    QCOMPARE(chat->tiles()[1].toImage(), before);
    QVERIFY(chat->findChild<QAction *>("classic3")->isChecked());
    QVERIFY(readAll(iniPath()).contains("Tiles=dark\r\n"));
}

void TestWindowSettings::choosingATileSet()
{
    writeStrip(QDir(tiles.path()).filePath("wood.bmp"), QColor(160, 110, 60));
    open();
    host->say({"CMD_startgame+Ann+500+60+f+1+", "CMD_theboard+0+0+1", "CMD_nextplayer+1+1+"});
    QTRY_VERIFY(chat->model().myTurn());
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, QPoint(28, 28));
    QCOMPARE(chat->model().stripCode(1), 1);
    const QImage slotBefore = chat->strip().letterSlot(1)->pixmap().toImage();
    QAction *wood = chat->findChild<QAction *>("wood3");
    QVERIFY(wood);
    wood->trigger();
    QVERIFY(wood->isChecked());
    QCOMPARE(chat->tileset(), QString("wood"));
    QVERIFY(readAll(iniPath()).contains("Tiles=wood\r\n"));
    const QImage tile = chat->tiles()[1].toImage();
    QCOMPARE(QColor(tile.pixel(30, 30)), QColor(160, 110, 60));
    QCOMPARE(qAlpha(tile.pixel(2, 2)), 0); // green lets the square show
    // The strip is drawn again with the new letter.
    QVERIFY(chat->strip().letterSlot(1)->pixmap().toImage() != slotBefore);
    QCOMPARE(QColor(chat->strip().letterSlot(1)->pixmap().toImage().pixel(40, 40)), QColor(160, 110, 60));
    // Classic brings the built-in images back at once, no restart.
    QAction *classic = chat->findChild<QAction *>("classic3");
    classic->trigger();
    QVERIFY(classic->isChecked() && !wood->isChecked());
    TileImages builtIn;
    QVERIFY(builtIn.loadClassic());
    QCOMPARE(chat->tiles()[1].toImage(), builtIn[1].toImage());
    QVERIFY(QColor(chat->strip().letterSlot(1)->pixmap().toImage().pixel(40, 40)) != QColor(160, 110, 60));
    QVERIFY(readAll(iniPath()).contains("Tiles=classic\r\n"));
}

void TestWindowSettings::storedTileSet()
{
    writeStrip(QDir(tiles.path()).filePath("wide.bmp"), QColor(20, 20, 90), QSize(1000, 56));
    open("[Wordmire]\nTiles=wide\n");
    QCOMPARE(chat->tileset(), QString("wide"));
    QVERIFY(chat->findChild<QAction *>("wide3")->isChecked());
    QCOMPARE(QColor(chat->tiles()[1].toImage().pixel(30, 30)), QColor(20, 20, 90));
    QCOMPARE(qAlpha(chat->tiles()[30].toImage().pixel(30, 30)), 0); // beyond the bitmap: blank

    // A set whose file is gone keeps the built-in images, no item checked.
    chat.reset();
    QFile::remove(QDir(tiles.path()).filePath("wide.bmp"));
    open("[Wordmire]\nTiles=wide\n");
    TileImages classic;
    QVERIFY(classic.loadClassic());
    QCOMPARE(chat->tiles()[1].toImage(), classic[1].toImage());
    QVERIFY(chat->findChild<QAction *>("classic3")->isChecked());

    // So does one whose file is no picture, chosen at start or from the menu.
    chat.reset();
    QFile junk(QDir(tiles.path()).filePath("wide.bmp"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("BM not a picture");
    junk.close();
    writeStrip(QDir(tiles.path()).filePath("wood.bmp"), QColor(160, 110, 60));
    open("[Wordmire]\nTiles=wide\n");
    QCOMPARE(chat->tiles()[1].toImage(), classic[1].toImage());
    QVERIFY(chat->findChild<QAction *>("classic3")->isChecked());
    chat->findChild<QAction *>("wood3")->trigger();
    chat->findChild<QAction *>("wide3")->trigger();
    QCOMPARE(chat->tiles()[1].toImage(), classic[1].toImage());
    QVERIFY(chat->findChild<QAction *>("classic3")->isChecked());
}

// The stored options hold whether or not a host ever confirmed the login: a
// copy that cannot reach its host, is moved and closed, and one whose file
// does not read, keep what the user wrote, and write only what they changed.
void TestWindowSettings::keptWithoutLogin_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArrayList>("kept");
    QTest::addColumn<QByteArrayList>("absent");
    const QByteArray set = "[Wordmire]\nTextsize=14\nTextcolor=clNavy\nPlaysounds=false\nTurnsound=2\n"
                           "Playtoscore=300\nPostwordsinchatbox=false\n";
    QTest::newRow("options survive a failed join")
            << set
            << QByteArrayList{"Textsize=14", "Textcolor=clNavy", "Playsounds=false", "Turnsound=2", "Playtoscore=300",
                       "Postwordsinchatbox=true"}
            << QByteArrayList{};
    QTest::newRow("no file: the ticked size is the one written")
            << QByteArray() << QByteArrayList{"Textsize=8", "Postwordsinchatbox=true"} << QByteArrayList{};
    QTest::newRow("unreadable file: only the change is written") << QByteArray("[Wordmire]\nTextsize=14\n\0junk",
            25) << QByteArrayList{"Postwordsinchatbox=true"} << QByteArrayList{"Textsize", "Playtoscore", "Top="};
}

void TestWindowSettings::keptWithoutLogin()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArrayList, kept);
    QFETCH(QByteArrayList, absent);
    if (!stored.isEmpty()) {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(stored);
    }
    chat = std::make_unique<Tchat>();
    options = std::make_unique<Tgamestart>();
    chat->setGamestart(options.get());
    chat->setArguments({"Ann", "127.0.0.1", "false"});
    chat->setPort(1); // nobody listens there
    bool asked = false;
    ui::setQuestionSink([&asked](const QString &) { return !(asked = true); }); // "Try again?" No
    chat->show();
    QTRY_VERIFY(asked);
    ui::setQuestionSink(nullptr);
    chat->form()->PostWordsinChatBox1->trigger();
    chat->move(chat->pos() + QPoint(20, 10));
    chat->close();
    const QByteArray text = readAll(iniPath()).replace("\r\n", "\n");
    for (const QByteArray &line : kept)
        QVERIFY2(text.contains(line + "\n"), (line + " missing from:\n" + text).constData());
    for (const QByteArray &key : absent)
        QVERIFY2(!text.contains(key), (key + " written:\n" + text).constData());
}

QTEST_MAIN(TestWindowSettings)
#include "tst_windowsettings.moc"
