// The help window and the about box, from the main window's Help menu.

#include "clientfiles.h"
#include "messages.h"
#include "tabout.h"
#include "tchat.h"
#include "thelp.h"
#include "ui_tchat.h"
#include "ui_thelp.h"

#include <QLabel>
#include <QTest>
#include <QTextBrowser>

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void pagesAndState();
    void aboutBox();
};

void TestHelp::pagesAndState()
{
    ClientFiles files;
    Tchat chat;
    Tabout about;
    Thelp help;
    chat.setAbout(&about);
    chat.setHelp(&help);
    QCOMPARE(help.windowTitle(), QString("Word Mire - Help File"));
    QCOMPARE(help.currentPage(), 1);
    QCOMPARE(help.form()->label_caption->text(), QString("Overview"));
    QCOMPARE(chat.form()->Content1->shortcut(), QKeySequence(Qt::Key_F1));
    chat.form()->Content1->trigger();
    QVERIFY(help.isVisible());
    const struct {
        QPushButton *button;
        int page;
        const char *caption;
    } buttons[] = {{help.form()->button_connecting, 2, "Connecting"}, {help.form()->button_gameplay, 3, "Game Play"},
            {help.form()->button_documentation, 5, "Documentation"}, {help.form()->button_scoring, 4, "Scoring"}};
    for (const auto &b : buttons) {
        QTest::mouseClick(b.button, Qt::LeftButton);
        QCOMPARE(help.currentPage(), b.page);
        QCOMPARE(help.form()->label_caption->text(), QString(b.caption));
    }
    // The pages say what they must: the worked example, the port, the history.
    QVERIFY(help.page(4)->toPlainText().contains("= 60"));
    QVERIFY(help.page(2)->toPlainText().contains("7772"));
    QVERIFY(help.page(5)->toPlainText().startsWith("History"));
    QVERIFY(help.page(5)->toPlainText().contains("1.0.16.17"));
    QVERIFY(help.page(1)->isReadOnly());
    // Done only hides; the page last chosen is still there next time.
    QTest::mouseClick(help.form()->button_done, Qt::LeftButton);
    QVERIFY(!help.isVisible());
    chat.form()->Content1->trigger();
    QVERIFY(help.isVisible());
    QCOMPARE(help.currentPage(), 4);
    QCOMPARE(help.form()->label_caption->text(), QString("Scoring"));
    QTest::mouseClick(help.form()->button_about, Qt::LeftButton);
    QVERIFY(about.isVisible());
}

void TestHelp::aboutBox()
{
    Tabout about;
    auto *version = about.findChild<QLabel *>("version");
    auto *build = about.findChild<QLabel *>("label_build");
    QCOMPARE(version->text(), QString("1.0.16"));
    QCOMPARE(build->text(), QString(".17"));
    QCOMPARE(about.versionText(), QString("1.0.16"));
    // The build number sits right against the version, on its line.
    QCOMPARE(build->x(), version->x() + version->width());
    QCOMPARE(build->y(), version->y());

    // Both the picture and the link line go to the desktop's handler; a
    // handler that fails says so instead of doing nothing.
    QStringList opened;
    bool works = true;
    ui::setUrlOpener([&](const QString &address) {
        opened << address;
        return works;
    });
    QStringList shown;
    ui::setMessageSink([&](const QString &text) { shown << text; });
    QTest::mouseClick(about.findChild<QLabel *>("label_picture"), Qt::LeftButton);
    emit about.findChild<QLabel *>("label_link")->linkActivated("page");
    works = false;
    emit about.findChild<QLabel *>("label_link")->linkActivated("page");
    ui::setUrlOpener(nullptr);
    ui::setMessageSink(nullptr);
    QCOMPARE(opened, QStringList(3, QString::fromLatin1(Tabout::WebPage)));
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0].contains(Tabout::WebPage));
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
