#include "fakehost.h"

#include <QGridLayout>
#include <QSignalSpy>
#include <QTextBlock>
#include <QToolButton>
#include "chatpieces.h"
#include "decodedas.h"
#include "messages.h"
#include "tchat.h"
#include "clientfiles.h"
#include "ui_tchat.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace {
const QByteArray FF(1, wire::Terminator);

struct Frag {
    QString text;
    QColor colour;
    bool bold;
    bool underline;
    QString href;
    QString image;
};

// The fragments of the view's last line.
QList<Frag> lastLine(QTextBrowser *view)
{
    QList<Frag> out;
    const QTextBlock b = view->document()->lastBlock();
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const QTextCharFormat cf = f.charFormat();
        out.append({f.text(), cf.foreground().color(), cf.fontWeight() >= QFont::Bold, cf.fontUnderline(),
                cf.anchorHref(), cf.isImageFormat() ? cf.toImageFormat().name() : QString()});
    }
    return out;
}
} // namespace

class TestChat : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void chatLineInColour();
    void linksInTheBody_data();
    void linksInTheBody();
    void earlyLinkOpensItsOwn();
    void smileys_data();
    void smileys();
    void actionWithSmiley();
    void barCutsTheLine();
    void systemLines();
    void eachLineKeepsItsColour();
    void scrollChatOff();
    void sending_data();
    void sending();
    void notLoggedIn();
    void enterOnPlaceholder();
    void smileyMenuAndPaste();
    void floodStaysBounded();
    void hostileHost_data();
    void hostileHost();
    void longLineCut();
    void smileysPerLine();
    void chatSender_data();
    void chatSender();

private:
    void feed(std::initializer_list<QByteArray> messages);
    ClientFiles workDir;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<Tchat> chat;
    QStringList shown, opened;
};

void TestChat::init()
{
    workDir.fresh();
    shown.clear();
    opened.clear();
    ui::setMessageSink([this](const QString &t) { shown << t; });
    ui::setUrlOpener([this](const QString &t) {
        opened << t;
        return !t.contains("fail");
    });
    host = std::make_unique<FakeHost>();
    chat = joinWindow<Tchat>(*host);
    QVERIFY(chat);
    host->say({"CMD_sendlogininfo+2"});
    QTRY_VERIFY(chat->model().loggedin());
    host->heard();
}

void TestChat::cleanup()
{
    chat.reset();
    host.reset();
    ui::setMessageSink(nullptr);
    ui::setUrlOpener(nullptr);
}

void TestChat::feed(std::initializer_list<QByteArray> messages)
{
    feedWindow(*host, *chat, messages, 30);
}

void TestChat::chatLineInColour()
{
    feed({"CMD_chat+2+Ann chats: hello|clRed"});
    const auto f = lastLine(chat->form()->mainchat);
    QCOMPARE(f.size(), 1);
    QCOMPARE(f[0].text, QString("Ann chats:  hello "));
    QCOMPARE(f[0].colour, QColor(255, 0, 0));
    QVERIFY(f[0].bold);
    QTextCursor c(chat->form()->mainchat->document()->lastBlock());
    c.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(c.charFormat().property(QTextFormat::UserProperty).toInt(), 7);
}

void TestChat::linksInTheBody_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QString>("opens"); // empty: a plain word
    QTest::newRow("www") << QByteArray("www.example.com") << "http://www.example.com";
    QTest::newRow("HTTP capitals") << QByteArray("HTTP://EXAMPLE.ORG") << "http://example.org";
    QTest::newRow("https") << QByteArray("https://a.example/x?y=1") << "https://a.example/x?y=1";
    QTest::newRow("inside a word") << QByteArray("see:http://a.b") << "http://a.b";
    // Only the web opens from a chat line.
    QTest::newRow("file") << QByteArray("file:///etc/shadow") << "";
    QTest::newRow("file, www path") << QByteArray("file:///www.x/etc") << "http://www.x/etc";
    QTest::newRow("smb") << QByteArray("smb://www.host/share") << "http://www.host/share";
    // What shows as the link is what opens: the rest is a plain word.
    QTest::newRow("file, www anchor") << QByteArray("file:///tmp/x#www.evil.com") << "http://www.evil.com";
    QTest::newRow("ssh") << QByteArray("ssh://root@box") << "";
    QTest::newRow("sftp") << QByteArray("sftp://box/etc") << "";
    QTest::newRow("javascript") << QByteArray("javascript:alert(1)") << "";
    QTest::newRow("mailto") << QByteArray("mailto:a@b.example") << "";
    QTest::newRow("no host") << QByteArray("http://") << "";
}

void TestChat::linksInTheBody()
{
    QFETCH(QByteArray, word);
    QFETCH(QString, opens);
    feed({"CMD_chat+3+Cy chats: look " + word + " now|clNavy"});
    const auto f = lastLine(chat->form()->mainchat);
    if (opens.isEmpty()) {
        QCOMPARE(f.size(), 1);
        QCOMPARE(f[0].text, "Cy chats:  look " + QString::fromLatin1(word) + " now ");
        QVERIFY(f[0].href.isEmpty());
        // Even an anchor made to name it opens nothing.
        emit chat->form()->mainchat->anchorClicked(QUrl("link:" + QString::fromLatin1(word)));
        QVERIFY(opened.isEmpty());
        QCOMPARE(shown, QStringList{"Cannot open Webpage"});
        return;
    }
    QCOMPARE(f.size(), 3);
    // The link starts where the address does; before it, a plain word.
    const qsizetype start = std::min({word.toLower().indexOf("http"), word.toLower().indexOf("www.")},
            [](qsizetype a, qsizetype b) { return b < 0 || (a >= 0 && a < b); });
    const QByteArray before = word.left(start), link = word.mid(start);
    QCOMPARE(f[0].text, "Cy chats:  look " + QString::fromLatin1(before));
    QCOMPARE(f[0].colour, QColor(0, 0, 0x80));
    QVERIFY(f[0].bold);
    QCOMPARE(f[1].text, QString::fromLatin1(link + ' '));
    QCOMPARE(f[1].colour, QColor(0, 0x80, 0));
    QVERIFY(f[1].underline);
    QVERIFY(!f[1].href.isEmpty());
    QCOMPARE(f[2].text, QString("now "));
    QCOMPARE(f[2].colour, QColor(0, 0, 0x80));
    emit chat->form()->mainchat->anchorClicked(QUrl(f[1].href));
    QCOMPARE(opened, QStringList{opens});
    QVERIFY(shown.isEmpty());
    // Plain words are never links.
    feed({"CMD_chat+3+Cy chats: example.com|clNavy"});
    QVERIFY(lastLine(chat->form()->mainchat)[0].href.isEmpty());
}

// However many link lines follow, a line's link opens the address it shows.
void TestChat::earlyLinkOpensItsOwn()
{
    for (int i = 0; i < 150; ++i)
        chat->addlinetochat(2, "Ann chats: see www.site" + QByteArray::number(i) + ".example", 0);
    QTextBlock early = chat->form()->mainchat->document()->firstBlock();
    while (early.isValid() && !early.text().endsWith("see www.site2.example "))
        early = early.next();
    QString href;
    for (auto it = early.begin(); !it.atEnd() && href.isEmpty(); ++it)
        href = it.fragment().charFormat().anchorHref();
    emit chat->form()->mainchat->anchorClicked(QUrl(href));
    QCOMPARE(opened, QStringList{"http://www.site2.example"});
}

void TestChat::smileys_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("image");
    QTest::newRow("12") << QByteArray("12") << "smiley:2";
    QTest::newRow("27") << QByteArray("27") << "smiley:17";
    QTest::newRow("99") << QByteArray("99") << "smiley:0";
    QTest::newRow("ab") << QByteArray("ab") << "smiley:0";
}

void TestChat::smileys()
{
    QFETCH(QByteArray, code);
    QFETCH(QString, image);
    feed({"CMD_chat+2+Ann chats: hi :)#" + code + " there|clBlack"});
    const auto f = lastLine(chat->form()->mainchat);
    QCOMPARE(f.size(), 3);
    QCOMPARE(f[0].text, QString("Ann chats:  hi  "));
    QCOMPARE(f[1].image, image);
    QCOMPARE(f[2].text, QString(" there "));
    QVERIFY(!chat->form()->mainchat->document()->resource(QTextDocument::ImageResource, QUrl(image)).isNull());
}

void TestChat::actionWithSmiley()
{
    feed({"CMD_action+2+Ann waves :)#20|clBlack"});
    const auto f = lastLine(chat->form()->mainchat);
    QCOMPARE(f.size(), 2);
    QCOMPARE(f[0].text, QString(" Ann waves  "));
    QCOMPARE(f[1].image, QString("smiley:10"));
}

void TestChat::barCutsTheLine()
{
    feed({"CMD_chat+2+Ann chats: a|b|clBlue"});
    const auto f = lastLine(chat->form()->mainchat);
    QCOMPARE(f[0].text, QString("Ann chats:  a "));
    QCOMPARE(f[0].colour, QColor(255, 0, 0));
}

void TestChat::systemLines()
{
    feed({"CMD_wrongversion+"});
    const auto f = lastLine(chat->form()->mainchat);
    QCOMPARE(f[0].text, QString(" You have a differnt version of the game then the host. "));
    QCOMPARE(f[0].colour, QColor(0, 0, 255));
    QVERIFY(f[0].bold);
}

void TestChat::eachLineKeepsItsColour()
{
    feed({"CMD_chat+2+Ann chats: one|clRed", "CMD_chat+2+Ann chats: two|clGreen"});
    const QTextBlock last = chat->form()->mainchat->document()->lastBlock();
    QCOMPARE(last.previous().begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
    QCOMPARE(last.begin().fragment().charFormat().foreground().color(), QColor(0, 0x80, 0));
    // A new text size reaches the lines shown and those still to come, in
    // a colour and style the view has drawn before.
    chat->form()->N121->trigger();
    feed({"CMD_chat+2+Ann chats: three|clRed"});
    const QTextBlock after = chat->form()->mainchat->document()->lastBlock();
    for (const QTextBlock &b : {after.previous().previous(), after})
        QCOMPARE(b.begin().fragment().charFormat().fontPointSize(), 12.0);
    QCOMPARE(after.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
}

void TestChat::scrollChatOff()
{
    chat->resize(790, 580);
    QScrollBar *bar = chat->form()->mainchat->verticalScrollBar();
    for (int i = 0; i < 40; ++i)
        chat->addlinetochat(2, "Ann chats: line " + QByteArray::number(i), 0);
    // A burst is laid out and scrolled within a frame, without being asked.
    QTRY_VERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    chat->form()->ScrollChatOff1->trigger();
    QVERIFY(chat->popups().ScrollChatOff2->isChecked());
    bar->setValue(0);
    for (int i = 0; i < 10; ++i)
        chat->addlinetochat(2, "Ann chats: more", 0);
    chat->chatView().flush();
    QCOMPARE(bar->value(), 0);
    chat->popups().ScrollChatOff2->trigger();
    QVERIFY(!chat->form()->ScrollChatOff1->isChecked());
    chat->addlinetochat(2, "Ann chats: end", 0);
    chat->chatView().flush();
    QCOMPARE(bar->value(), bar->maximum());
}

void TestChat::sending_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("chat") << "hello" << QByteArray("CMD_chat+2+hello|clRed") + FF;
    QTest::newRow("action") << "/me wave" << QByteArray("CMD_action+2+wave|clRed") + FF;
    QTest::newRow("action, no space") << "/mewave" << QByteArray("CMD_action+2+ave|clRed") + FF;
    QTest::newRow("other slash") << "/x hello" << QByteArray();
    // The protocol's own bytes never split or recolour a line.
    QTest::newRow("terminator typed") << QString::fromLatin1("caf\xff!") << QByteArray("CMD_chat+2+cafy!|clRed") + FF;
    QTest::newRow("bar typed") << "a|b"
                               << QByteArray("CMD_chat+2+a\xa6"
                                             "b|clRed")
                    + FF;
    QTest::newRow("bar in an action") << "/me a|b"
                                      << QByteArray("CMD_action+2+a\xa6"
                                                    "b|clRed")
                    + FF;
    // A pasted text is cut to what the host takes from anybody.
    QTest::newRow("long chat") << QString(5000, 'x') << "CMD_chat+2+" + QByteArray(1000, 'x') + "|clRed" + FF;
    QTest::newRow("long action") << "/me " + QString(5000, 'x')
                                 << "CMD_action+2+" + QByteArray(996, 'x') + "|clRed" + FF;
}

void TestChat::sending()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, sent);
    chat->preferences().setTextColour(0x0000FF);
    chat->form()->mychat->setText(typed);
    QTest::keyClick(chat->form()->mychat, Qt::Key_Return);
    QCOMPARE(host->heard(), sent);
    QCOMPARE(chat->form()->mychat->text(), QString());
    // Nothing shows until the host sends the line back.
    QCOMPARE(chat->form()->mainchat->document()->blockCount(), 1);
}

void TestChat::notLoggedIn()
{
    Tchat offline;
    offline.form()->mychat->setText("hello");
    QTest::keyClick(offline.form()->mychat, Qt::Key_Return);
    QCOMPARE(offline.form()->mychat->text(), QString("hello"));
}

void TestChat::enterOnPlaceholder()
{
    QCOMPARE(chat->form()->mychat->text(), QString("<Enter Chat Here>"));
    QTest::keyClick(chat->form()->mychat, Qt::Key_Return);
    QCOMPARE(chat->form()->mychat->text(), QString());
    QCOMPARE(host->heard(), QByteArray());
    chat->form()->mychat->setText("<Enter Chat Here>");
    QTest::keyClicks(chat->form()->mychat, "hi");
    QCOMPARE(chat->form()->mychat->text(), QString("hi"));
}

void TestChat::smileyMenuAndPaste()
{
    QCOMPARE(chat->chatView().smileyActions().size(), 18);
    // Laid out as a grid, six faces a row.
    auto *grid = chat->popups().popup_smilies->findChild<QWidget *>("smiley_grid");
    QVERIFY(grid);
    QCOMPARE(grid->findChildren<QToolButton *>().size(), 18);
    QCOMPARE(static_cast<QGridLayout *>(grid->layout())->rowCount(), 3);
    chat->chatView().insertSmiley(15);
    QCOMPARE(chat->form()->mychat->text(), QString(":)#15"));
    QApplication::clipboard()->setText(" pasted");
    chat->chatView().paste();
    QCOMPARE(chat->form()->mychat->text(), QString(":)#15 pasted"));
    QCOMPARE(chat->form()->mychat->cursorPosition(), chat->form()->mychat->text().size());
}

void TestChat::floodStaysBounded()
{
    const QByteArray longLine = "Ann chats: " + QByteArray(20000, 'x');
    for (int i = 0; i < ChatView::MaxLines + 300; ++i)
        chat->addlinetochat(2, i == 5 ? longLine : "Ann chats: flood " + QByteArray::number(i), 0);
    // The oldest lines go a tenth of the history at a time.
    const int lines = chat->form()->mainchat->document()->blockCount();
    QVERIFY2(lines <= ChatView::MaxLines && lines > ChatView::MaxLines - ChatView::MaxLines / 10,
            qPrintable(QString::number(lines)));
    QVERIFY(lastLine(chat->form()->mainchat)[0].text.contains(QString::number(ChatView::MaxLines + 299)));
    // A repaint that scrolled a whole view of new lines makes the next wait
    // longer than a stream's frame (a timer may fire a little early, never
    // much; a slow machine only makes it later).
    chat->resize(790, 580);
    chat->show();
    chat->chatView().flush();
    QSignalSpy laidOut(chat->form()->mainchat->document(), &QTextDocument::contentsChanged);
    QElapsedTimer since;
    since.start();
    chat->addlinetochat(2, "Ann chats: after the flood", 0);
    QTRY_VERIFY(!laidOut.isEmpty());
    QVERIFY2(since.elapsed() >= (ChatView::StreamFrameMs + ChatView::FloodFrameMs) / 2,
            qPrintable(QString::number(since.elapsed())));
}

void TestChat::hostileHost_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("leaves");
    QTest::newRow("never ends a message") << QByteArray(70 * 1024, 'x') << true;
    QTest::newRow("a message longer than any") << QByteArray("CMD_chat+2+") + QByteArray(20 * 1024, 'x') + FF << false;
    QTest::newRow("a flood of messages") << QByteArray(1100, char(0xFF)) << true;
}

// What a host can make a window hold is bounded: a flood ends the
// connection (and the window, as when a host goes), a giant message is
// dropped.
void TestChat::hostileHost()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, leaves);
    QSignalSpy closed(chat.get(), &Tchat::closed);
    host->peer->write(bytes);
    host->peer->flush();
    QTest::qWait(100);
    if (leaves) {
        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(chat->model().queuedMessages(), 0);
    } else {
        QCOMPARE(closed.count(), 0);
        host->say({"CMD_chat+2+Ann chats: still here|clRed"});
        QTRY_VERIFY(chat->form()->mainchat->toPlainText().contains("still here"));
        QVERIFY(!chat->form()->mainchat->toPlainText().contains("xxxx"));
    }
}

void TestChat::longLineCut()
{
    host->say({"CMD_chat+2+Ann chats: " + QByteArray(5000, 'w') + "|clRed"});
    QTRY_VERIFY(chat->form()->mainchat->toPlainText().contains("www"));
    const QString last = chat->form()->mainchat->document()->lastBlock().text();
    QVERIFY(last.size() <= int(ChatView::MaxLine) + 1);
}

// A line shows a bounded number of smiley pictures; the codes after them
// stay text, so one line's layout cost has a ceiling.
void TestChat::smileysPerLine()
{
    QByteArray line = "Ann chats: ";
    for (int i = 0; i < chat::MaxSmileys + 6; ++i)
        line += ":)#15";
    const chat::Line parsed = chat::parse(2, line);
    const auto pictures = std::count_if(parsed.pieces.cbegin(), parsed.pieces.cend(),
            [](const chat::Piece &p) { return p.kind == chat::Piece::Smiley; });
    QCOMPARE(int(pictures), chat::MaxSmileys);
    QCOMPARE(parsed.pieces.last().text, QByteArray(":)#15").repeated(6) + ' ');
}

// A chat line's sender is a slot, 1 to 9, or 0 for the system; any other
// number reads as 0, as the window reads it off the wire, and never reaches
// the style's arithmetic.
void TestChat::chatSender_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("sender");
    QTest::addColumn<int>("style");
    QTest::newRow("system") << QByteArray("0+hello") << 0 << 0;
    QTest::newRow("slot 1") << QByteArray("1+Ann chats: hi") << 1 << 6;
    QTest::newRow("slot 9") << QByteArray("9+Ian chats: hi") << 9 << 14;
    QTest::newRow("slot 10") << QByteArray("10+x") << 0 << 0;
    QTest::newRow("largest") << QByteArray("2147483647+x") << 0 << 0;
    QTest::newRow("smallest") << QByteArray("-2147483648+x") << 0 << 0;
    QTest::newRow("not a number") << QByteArray("one+x") << 0 << 0;
}

void TestChat::chatSender()
{
    QFETCH(QByteArray, line);
    QFETCH(int, sender);
    QFETCH(int, style);
    const auto heard = decodedAs<wire::down::Chat>("CMD_chat+" + line);
    const chat::Line parsed = chat::parse(heard.slot, heard.line);
    QCOMPARE(parsed.sender, sender);
    QCOMPARE(parsed.style, style);
}

QTEST_MAIN(TestChat)
#include "tst_chat.moc"
