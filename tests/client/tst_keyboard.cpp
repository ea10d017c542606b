// Playing by keyboard through a window joined to a stand-in host: the host
// must hear exactly what a mouse player's clicks would send.

#include "clientfiles.h"
#include "fakehost.h"
#include "messages.h"
#include "tchat.h"
#include "typetrace.h"
#include "ui_tchat.h"

#include <QAccessible>
#include <QMenu>
#include <QMenuBar>

namespace {
const QByteArray FF(1, wire::Terminator);

QByteArray boardMessage(const char *rows)
{
    QByteArray m = "CMD_theboard";
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            m += "+" + QByteArray::number(x) + "+" + QByteArray::number(y) + "+"
                    + QByteArray::number(rows[y * 7 + x] - 'A' + 1);
    return m;
}

// C A T along the top; T's two E neighbours make "TE" ambiguous.
const char *kBoard = "CATQQQQ"
                     "QEQEQQQ"
                     "QQQQQQQ"
                     "QQQQQQQ"
                     "QQQQQQQ"
                     "QQQQQQQ"
                     "QQQQQQZ";

QByteArray pick(int k, int x, int y)
{
    return "CMD_selectletter+1+" + QByteArray::number(k) + "+" + QByteArray::number(x) + "+" + QByteArray::number(y)
            + "+" + FF;
}
} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pathsBestFirst();
    void typingTracesTheMousePath();
    void tabChoosesAnotherPath();
    void backspaceEscapeEnter();
    void letterThatFitsNowhere();
    void arrowsChooseTheSlide();
    void focusCellAndSpace();
    void chatKeepsItsKeys();
    void notMyTurn();
    void accessibleBoard();
    void buttonsGiveTheKeyboardBack_data();
    void buttonsGiveTheKeyboardBack();

private:
    void feed(std::initializer_list<QByteArray> messages);
    void myTurn();
    void keys(const QString &typed);
    // What the window sent, once the picks it paces have all gone.
    QByteArray heard()
    {
        for (int waited = 0; chat->model().picksPending() && waited < 200; ++waited)
            QTest::qWait(10);
        return host->heard(40);
    }
    ClientFiles workDir;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<Tchat> chat;
    QStringList shown;
};

void TestKeyboard::init()
{
    workDir.fresh();
    shown.clear();
    ui::setMessageSink([this](const QString &t) { shown << t; });
    host = std::make_unique<FakeHost>();
    chat = joinWindow<Tchat>(*host);
    QVERIFY(chat);
    feed({"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann+0", "CMD_newplayerinfo+2+Bo+0"});
    heard();
}

void TestKeyboard::cleanup()
{
    chat.reset();
    host.reset();
    ui::setMessageSink(nullptr);
}

void TestKeyboard::feed(std::initializer_list<QByteArray> messages)
{
    feedWindow(*host, *chat, messages);
}

void TestKeyboard::myTurn()
{
    feed({"CMD_startgame+Ann+500+60+f+1+", boardMessage(kBoard), "CMD_nextplayer+1+1+"});
    QTRY_VERIFY(chat->model().myTurn());
    heard();
}

void TestKeyboard::keys(const QString &typed)
{
    QTest::keyClicks(chat->form()->paintbox_board, typed);
}

void TestKeyboard::pathsBestFirst()
{
    rules::Board b{};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            b[size_t(x)][size_t(y)] = kBoard[y * 7 + x] - 'A' + 1;
    const auto te = tracePaths(b, "TE");
    QCOMPARE(int(te.size()), 2);
    QCOMPARE(te[0], (TracePath{{2, 0}, {1, 1}}));
    QCOMPARE(te[1], (TracePath{{2, 0}, {3, 1}}));
    QCOMPARE(int(tracePaths(b, "CAT").size()), 1);
    QVERIFY(tracePaths(b, "CC").empty()); // one C, never used twice
    QVERIFY(tracePaths(b, "ZQQQQQQQ").empty()); // longer than a word may be
    QCOMPARE(int(tracePaths(b, "QQQQQQQ", 10).size()), 10);
    // The best-scoring path comes first, whatever reading order says: AT on
    // plain squares at the top, and again from the Bonus square.
    rules::Board two{};
    two[1][0] = two[3][3] = 1; // A
    two[2][0] = two[3][4] = 20; // T
    const auto at = tracePaths(two, "AT");
    QCOMPARE(int(at.size()), 2);
    QCOMPARE(at[0], (TracePath{{3, 3}, {3, 4}}));
    QCOMPARE(at[1], (TracePath{{1, 0}, {2, 0}}));
}

// Whatever had the keyboard, a click on a turn's button hands it to the
// board, so the next word can be typed at once (the shuffle button hides
// itself as it is clicked).
void TestKeyboard::buttonsGiveTheKeyboardBack_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Zephyr Shuffle") << "button_shuffle";
    QTest::newRow("Clear") << "button_clear";
    QTest::newRow("Done") << "button_done";
}

void TestKeyboard::buttonsGiveTheKeyboardBack()
{
    QFETCH(QString, button);
    myTurn();
    QApplication::setActiveWindow(chat.get());
    chat->form()->mychat->setFocus();
    QVERIFY(chat->form()->mychat->hasFocus());
    auto *b = chat->form()->panel_board->findChild<QPushButton *>(button);
    QVERIFY(b && b->isVisible());
    QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(chat->form()->paintbox_board->hasFocus());
    QCOMPARE(b->focusPolicy(), Qt::NoFocus);
}

void TestKeyboard::typingTracesTheMousePath()
{
    myTurn();
    QTRY_VERIFY(chat->form()->paintbox_board->hasFocus() || !chat->isActiveWindow());
    keys("cat");
    QCOMPARE(heard(), pick(1, 0, 0) + pick(2, 1, 0) + pick(3, 2, 0));
    QCOMPARE(chat->model().board().pathcount, 3);
    QCOMPARE(chat->strip().shownInSlot(3), 20); // T in the strip
}

void TestKeyboard::tabChoosesAnotherPath()
{
    myTurn();
    keys("te");
    QCOMPARE(heard(), pick(1, 2, 0) + pick(2, 1, 1));
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Tab);
    QCOMPARE(heard(), "CMD_clearletter+1+2+" + FF + pick(2, 3, 1));
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Tab); // and round again
    QCOMPARE(heard(), "CMD_clearletter+1+2+" + FF + pick(2, 1, 1));
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Tab);
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Return);
    QCOMPARE(heard(),
            "CMD_clearletter+1+2+" + FF + pick(2, 3, 1) + "CMD_playerdone+1+1+2+0+2+3+1" + FF + "CMD_selectclear+1+"
                    + FF);
    // With nothing to choose among, Tab leaves the board for the next control.
    chat->activateWindow();
    chat->form()->paintbox_board->setFocus();
    if (QTest::qWaitForWindowActive(chat.get())) {
        QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Tab);
        QVERIFY(!chat->form()->paintbox_board->hasFocus());
    }
    QCOMPARE(heard(), QByteArray());
}

void TestKeyboard::backspaceEscapeEnter()
{
    myTurn();
    keys("cat");
    heard();
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Backspace);
    QCOMPARE(heard(), "CMD_clearletter+1+3+" + FF);
    QCOMPARE(chat->model().board().pathcount, 2);
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Escape);
    QCOMPARE(heard(), "CMD_selectclear+1+" + FF);
    QCOMPARE(chat->model().board().pathcount, 0);
}

void TestKeyboard::letterThatFitsNowhere()
{
    myTurn();
    keys("cat");
    heard();
    keys("z");
    QCOMPARE(heard(), QByteArray());
    QCOMPARE(chat->form()->label_status->text(), QString("Invalid Selection"));
    QCOMPARE(chat->form()->label_status->accessibleName(), QString("Invalid Selection")); // read out
    QCOMPARE(chat->model().board().pathcount, 3);
}

void TestKeyboard::arrowsChooseTheSlide()
{
    myTurn();
    feed({"CMD_madeword+1+CAT+5+5+5+0+0+0+1+0+2+0"});
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Left);
    QCOMPARE(heard(), "CMD_direction+1+2+" + FF);
    // Once chosen, the arrow keys move the keyboard's cell again.
    const QPoint before = chat->form()->paintbox_board->focusCell();
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Up);
    QCOMPARE(heard(), QByteArray());
    QCOMPARE(chat->form()->paintbox_board->focusCell(), before + QPoint(0, -1));
}

void TestKeyboard::focusCellAndSpace()
{
    myTurn();
    BoardView *view = chat->form()->paintbox_board;
    view->setFocusCell({0, 1});
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(view->focusCell(), QPoint(0, 0));
    QTest::keyClick(view, Qt::Key_Up); // stays on the board
    QCOMPARE(view->focusCell(), QPoint(0, 0));
    QTest::keyClick(view, Qt::Key_Space);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(heard(), pick(1, 0, 0) + pick(2, 1, 0));
    keys("t"); // typing goes on from the picks
    QCOMPARE(heard(), pick(3, 2, 0));
}

void TestKeyboard::chatKeepsItsKeys()
{
    myTurn();
    chat->form()->mychat->setFocus();
    QTest::keyClicks(chat->form()->mychat, "cat");
    QCOMPARE(heard(), QByteArray());
    QCOMPARE(chat->form()->mychat->text(), QString("cat"));
    // A turn that starts while a chat line is half typed leaves it alone.
    feed({"CMD_nextplayer+2+1+", "CMD_nextplayer+1+1+"});
    QCOMPARE(chat->form()->mychat->text(), QString("cat"));
}

void TestKeyboard::notMyTurn()
{
    feed({"CMD_startgame+Ann+500+60+f+1+", boardMessage(kBoard), "CMD_nextplayer+2+1+"});
    heard();
    keys("cat");
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Return);
    QTest::keyClick(chat->form()->paintbox_board, Qt::Key_Backspace);
    QCOMPARE(heard(), QByteArray());
    QVERIFY(shown.isEmpty());
}

// Screen readers find every cell with its letter, value and square.
void TestKeyboard::accessibleBoard()
{
    myTurn();
    keys("c");
    QAccessibleInterface *board = QAccessible::queryAccessibleInterface(chat->form()->paintbox_board);
    QVERIFY(board);
    QCOMPARE(board->childCount(), 49);
    QAccessibleInterface *cell = board->child(0); // x 0, y 0: C on a double letter
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), QString("C, 3 points"));
    QCOMPARE(cell->text(QAccessible::Description), QString("row 1, column 1, double letter, picked"));
    QAccessibleInterface *bonus = board->child(3 * 7 + 3);
    QCOMPARE(bonus->text(QAccessible::Description), QString("row 4, column 4, bonus square"));
    QCOMPARE(board->indexOfChild(bonus), 24);
    QVERIFY(!chat->form()->button_done->accessibleName().isEmpty());
    QCOMPARE(chat->form()->StartGame1->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    // Every menu and menu item can be reached by its underlined letter.
    std::function<void(QMenu *)> walk = [&](QMenu *menu) {
        QVERIFY2(menu->title().contains('&'), qPrintable(menu->title()));
        for (QAction *a : menu->actions()) {
            if (a->isSeparator() || menu == chat->form()->Tiles1)
                continue;
            if (a->menu())
                walk(a->menu());
            else
                QVERIFY2(a->text().contains('&'), qPrintable(a->text()));
        }
    };
    for (QAction *top : chat->menuBar()->actions())
        walk(top->menu());
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
