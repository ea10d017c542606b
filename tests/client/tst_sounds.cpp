// Sounds, chatter sounds, phrase buttons and Klot's chatter, through a
// window joined to a stand-in host and a player that records.

#include "colourtext.h"
#include "appfiles.h"
#include "fakehost.h"
#include "messages.h"
#include "recordingplayer.h"
#include "tchat.h"
#include "clientfiles.h"
#include "tphrases.h"
#include "ui_tchat.h"
#include "ui_tphrases.h"

#include <QMenu>
#include <QRegularExpression>
#include <QTextBlock>

Q_DECLARE_METATYPE(QList<QPoint>)

namespace {
const QByteArray FF(1, wire::Terminator);
const QByteArray kStart = "CMD_startgame+Ann+500+60+f+1+";
const QByteArray kBlack = wire::colourToText(0);

QByteArray boardMessage()
{
    QByteArray m = "CMD_theboard";
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            m += "+" + QByteArray::number(x) + "+" + QByteArray::number(y) + "+" + QByteArray::number(1 + x + y);
    return m;
}
} // namespace

class TestSounds : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void events_data();
    void events();
    void turnSound_data();
    void turnSound();
    void gameSoundsOff();
    void chatterShownWhenOff();
    void sendingChatter();
    void phraseSends();
    void phraseCooldown();
    void phraseAction();
    void tenthButton();
    void editorDone();
    void klotChatterShare();
    void klotSilentWhenOthersSit();
    void playerWorksOffThread();

private:
    void feed(std::initializer_list<QByteArray> messages);
    QByteArray heard() { return host->heard(60); }
    QStringList lines() const;
    ClientFiles workDir;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<Tchat> chat;
    std::unique_ptr<Tphrases> phrases;
    RecordingPlayer player;
    qint64 now = 100000;
};

void TestSounds::init()
{
    workDir.fresh();
    ui::setMessageSink([](const QString &) {});
    host = std::make_unique<FakeHost>();
    chat = joinWindow<Tchat>(*host);
    QVERIFY(chat);
    phrases = std::make_unique<Tphrases>();
    chat->setPhrasesDialog(phrases.get());
    player.played.clear();
    chat->setSoundPlayer(&player);
    chat->phraseBar().setClock([this] { return now; });
    chat->preferences().setChatterSounds(true);
    feed({"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann+0"});
    heard();
    player.played.clear();
}

void TestSounds::cleanup()
{
    chat.reset();
    phrases.reset();
    host.reset();
    ui::setMessageSink(nullptr);
}

void TestSounds::feed(std::initializer_list<QByteArray> messages)
{
    feedWindow(*host, *chat, messages);
}

QStringList TestSounds::lines() const
{
    QStringList out;
    for (QTextBlock b = chat->form()->mainchat->document()->begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

void TestSounds::events_data()
{
    QTest::addColumn<QByteArrayList>("messages");
    QTest::addColumn<QList<QPoint>>("picks"); // own picks after the messages
    QTest::addColumn<QStringList>("expected");
    const QByteArrayList myTurn{kStart, boardMessage(), "CMD_nextplayer+1+1+"};
    auto with = [&](QByteArrayList more) { return myTurn + more; };
    QTest::newRow("refused pick cuts the valid one")
            << myTurn << QList<QPoint>{{0, 0}, {5, 5}} << QStringList{"place", "badword"};
    QTest::newRow("word refused") << with({"CMD_notvalid+1+XYZ+"}) << QList<QPoint>{} << QStringList{"badword"};
    QTest::newRow("own word") << with({"CMD_madeword+1+AB+5+5+5+0+0+0+1+0"}) << QList<QPoint>{}
                              << QStringList{"goodword"};
    QTest::newRow("another's word") << with({"CMD_madeword+2+AB+5+5+0+5+0+0+1+0"}) << QList<QPoint>{}
                                    << QStringList{"roundover"};
    QTest::newRow("time up") << with({"CMD_timeup+"}) << QList<QPoint>{} << QStringList{"roundover"};
    QTest::newRow("shift") << with({"CMD_moving+3+"}) << QList<QPoint>{} << QStringList{"shift"};
    QTest::newRow("shuffle") << with({"CMD_useshuffle+1+0+90+"}) << QList<QPoint>{} << QStringList{"shuffle"};
    QTest::newRow("another's pick and clear") << QByteArrayList{kStart, boardMessage(), "CMD_nextplayer+2+1+",
            "CMD_selectletter+2+1+0+0+", "CMD_selectclear+2+"}
                                              << QList<QPoint>{} << QStringList{"place", "clear"};
    QTest::newRow("user arrives") << QByteArrayList{"CMD_newplayerinfo+3+Cy+0"} << QList<QPoint>{}
                                  << QStringList{"entered"};
    QTest::newRow("game won") << QByteArrayList{kStart, "CMD_winner+Ann+"} << QList<QPoint>{}
                              << QStringList{"gameover"};
}

void TestSounds::events()
{
    QFETCH(QByteArrayList, messages);
    QFETCH(QList<QPoint>, picks);
    QFETCH(QStringList, expected);
    for (const QByteArray &m : messages)
        feed({m});
    player.played.removeAll(QStringLiteral("start")); // the turn sound, tested apart
    for (const QPoint &c : picks)
        QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, QPoint(c.x() * 56 + 28, c.y() * 56 + 28));
    QCOMPARE(player.played, expected);
}

void TestSounds::turnSound_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<int>("tag");
    QTest::newRow("classic") << "Classic1"
                             << "start" << 0;
    QTest::newRow("default") << "normal1"
                             << "turn" << 2;
    QTest::newRow("new") << "New1"
                         << "turnnew" << 1;
}

void TestSounds::turnSound()
{
    QFETCH(QString, item);
    QFETCH(QString, sound);
    QFETCH(int, tag);
    chat->findChild<QAction *>(item)->trigger();
    QCOMPARE(chat->preferences().turnSound(), tag);
    int checked = 0;
    for (QAction *a : {chat->form()->Classic1, chat->form()->normal1, chat->form()->New1})
        checked += a->isChecked() ? 1 : 0;
    QCOMPARE(checked, 1);
    QVERIFY(chat->findChild<QAction *>(item)->isChecked());
    feed({kStart, boardMessage(), "CMD_nextplayer+2+1+"});
    QVERIFY(player.played.isEmpty()); // another's turn
    feed({"CMD_nextplayer+1+1+"});
    QCOMPARE(player.played, QStringList{sound});
}

void TestSounds::gameSoundsOff()
{
    chat->form()->PlaySounds1->trigger();
    QVERIFY(!chat->form()->PlaySounds1->isChecked());
    feed({kStart, boardMessage(), "CMD_nextplayer+1+1+", "CMD_moving+2+", "CMD_playasound+2+wave3+"});
    QCOMPARE(player.played, QStringList{"wave3"});
}

void TestSounds::chatterShownWhenOff()
{
    chat->form()->PlayChatterSounds1->trigger();
    QVERIFY(!chat->form()->PlayChatterSounds1->isChecked());
    feed({"CMD_newplayerinfo+2+Bo+0", "CMD_playasound+2+wave13+", "CMD_playasound+7+wave13+",
            "CMD_playasound+2+wave99+"});
    player.played.removeAll(QStringLiteral("entered"));
    QVERIFY(player.played.isEmpty());
    const QStringList all = lines();
    QCOMPARE(all.filter("<Chatter Sound>"), QStringList{"Bo:  <Chatter Sound> Applause "});
    // In the system colour, blue.
    const QTextBlock last = chat->form()->mainchat->document()->lastBlock();
    QCOMPARE(last.begin().fragment().charFormat().foreground().color(), QColor(0, 0, 255));
}

void TestSounds::sendingChatter()
{
    chat->phraseBar().wave12Click(5);
    QCOMPARE(heard(), "CMD_playasound+1+wave5+" + FF);
    chat->popups().popup_sounds->actions().first()->trigger(); // <Cancel>
    QCOMPARE(chat->popups().popup_sounds->actions().first()->text(), QString("<Cancel>"));
    chat->findChild<QAction *>("wave13")->trigger();
    QCOMPARE(heard(), "CMD_playasound+1+wave13+" + FF);
    QCOMPARE(chat->findChild<QAction *>("wave13")->text(), QString("Applause"));

    // A spectator sends nothing.
    FakeHost other;
    auto spy = joinWindow<Tchat>(other);
    QVERIFY(spy);
    other.say({"CMD_sendlogininfo+6"});
    QTRY_VERIFY(spy->model().loggedin());
    other.heard();
    spy->phraseBar().wave12Click(5);
    QCOMPARE(other.heard(), QByteArray());
}

void TestSounds::phraseSends()
{
    QTest::mouseClick(chat->phraseBar().phraseButton(1), Qt::LeftButton);
    QCOMPARE(heard(), "CMD_action+1+says: Way To Go!|" + kBlack + FF);
    QCOMPARE(chat->phraseBar().phraseButton(6)->toolTip(), QString("Wow, WTG!"));
}

void TestSounds::phraseCooldown()
{
    chat->phraseBar().b_phrase1Click(2);
    QCOMPARE(heard(), "CMD_action+1+says: Good One!|" + kBlack + FF);
    // The pause shows on the buttons, and ends by itself.
    QVERIFY(!chat->phraseBar().phraseButton(5)->isEnabled());
    QVERIFY(chat->phraseBar().phraseButton(10)->isEnabled()); // the chatter sounds are not paused
    QTRY_VERIFY_WITH_TIMEOUT(chat->phraseBar().phraseButton(5)->isEnabled(), 3000);
    now += 1999;
    chat->phraseBar().b_phrase1Click(3);
    QCOMPARE(heard(), QByteArray());
    now += 1;
    chat->phraseBar().b_phrase1Click(3);
    QCOMPARE(heard(), "CMD_action+1+says: Nice Try!|" + kBlack + FF);
    // Typed chat is not limited.
    chat->model().sendChat("hi", 0);
    QCOMPARE(heard(), "CMD_chat+1+hi|" + kBlack + FF);
}

void TestSounds::phraseAction()
{
    {
        QStringList texts = chat->preferences().phrases();
        texts[3] = "/me waves";
        chat->preferences().setPhrases(texts);
    }
    chat->phraseBar().b_phrase1Click(4);
    QCOMPARE(heard(), "CMD_action+1+waves|" + kBlack + FF);
}

void TestSounds::tenthButton()
{
    QTimer::singleShot(0, chat->popups().popup_sounds, [this] {
        QVERIFY(chat->popups().popup_sounds->isVisible());
        chat->popups().popup_sounds->close();
    });
    QTest::mouseClick(chat->phraseBar().phraseButton(10), Qt::LeftButton);
    QTest::qWait(30);
    QCOMPARE(heard(), QByteArray());
}

void TestSounds::editorDone()
{
    chat->form()->PhraseList1->trigger();
    QVERIFY(phrases->isVisible());
    QCOMPARE(phrases->windowTitle(), QString("Word Mire - Phrase Buttons "));
    QCOMPARE(phrases->field(3)->text(), QString("Nice Try!"));
    QCOMPARE(phrases->field(9)->maxLength(), 50);
    phrases->field(3)->clear();
    phrases->field(5)->setText("Hooray");
    QTest::mouseClick(phrases->form()->SelButton8, Qt::LeftButton);
    QVERIFY(!phrases->isVisible());
    chat->phraseBar().b_phrase1Click(3);
    QCOMPARE(heard(), "CMD_action+1+says: |" + kBlack + FF);
    QCOMPARE(chat->phrase(5), QString("Hooray"));
    // The phrases are kept in the settings file, the emptied one as empty.
    QFile ini(settings::besideExecutable("corvelgatehouse.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY(text.contains("Phrase3=\r\n"));
    QVERIFY(text.contains("Phrase5=Hooray\r\n"));
    QVERIFY(text.contains("Phrase6=Wow, WTG!\r\n"));
    // Closing the editor another way changes nothing.
    chat->form()->PhraseList1->trigger();
    phrases->field(5)->setText("lost");
    phrases->close();
    QCOMPARE(chat->phrase(5), QString("Hooray"));
}

// About one chat line in 37 goes unanswered in a game against Klot.
void TestSounds::klotChatterShare()
{
    feed({kStart}); // seat 2 becomes Klot
    chat->model().setChatterSeed(2024);
    chat->chatView().setMaxLines(10000);
    const int n = 3700;
    const int before = int(lines().size());
    for (int i = 0; i < n; ++i) {
        chat->model().receive("CMD_chat+1+Ann chats: line " + QByteArray::number(i) + "|clBlack");
        chat->model().Timer1Timer();
    }
    // Actions and Klot's own lines never start a remark.
    chat->model().receive("CMD_action+1+Ann waves|clBlack");
    chat->model().Timer1Timer();
    const QStringList added = lines().mid(before);
    const int remarks = int(added.filter(QRegularExpression("^Klot the bot says: ")).size());
    QCOMPARE(int(added.size()) - remarks, n + 1);
    const int silent = n - remarks;
    qInfo("%d of %d chat lines got no remark", silent, n);
    // 99.9% around n/37 = 100: sd sqrt(n p (1 - p)) = 9.86, so 100 +- 32.
    QVERIFY2(silent >= 68 && silent <= 132, qPrintable(QString::number(silent)));
    QVERIFY(!lines().last().startsWith("Klot the bot says:"));
}

void TestSounds::klotSilentWhenOthersSit()
{
    feed({kStart, "CMD_newplayerinfo+3+Cy+0"});
    const int before = int(lines().size());
    for (int i = 0; i < 200; ++i) {
        chat->model().receive("CMD_chat+1+Ann chats: hello|clBlack");
        chat->model().Timer1Timer();
    }
    QCOMPARE(int(lines().mid(before).filter("Klot the bot says:").size()), 0);
}

// The real player finds its module and hands every request to its own thread
// without losing one:
// a burst is taken up in full (the stale ones passed over), a sound it does
// not have starts nothing, and it goes away with requests still queued.
void TestSounds::playerWorksOffThread()
{
    QVERIFY2(QtSoundPlayer::moduleLoads(), "the sound module is where the player looks for it");
    for (int s = int(Sound::Entered); s <= int(Sound::TurnNew); ++s)
        QVERIFY2(QtSoundPlayer::exists(soundName(Sound(s))), qPrintable(QString::number(s)));
    {
        QtSoundPlayer player;
        player.play(QStringLiteral("no such sound"));
        QTest::qWait(20);
        QCOMPARE(player.handled(), quint64(0));
        for (int i = 0; i < 50; ++i)
            player.play(i % 2 ? QStringLiteral("PLACE") : QStringLiteral("clear"));
        QTRY_COMPARE(player.handled(), quint64(50));
    }
    QtSoundPlayer leaving;
    for (int i = 0; i < 200; ++i)
        leaving.play(QStringLiteral("place"));
}

QTEST_MAIN(TestSounds)
#include "tst_sounds.moc"
