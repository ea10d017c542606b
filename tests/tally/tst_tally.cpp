// The win tally: its counting, its file (real files in a temporary folder),
// and its window.

#include "messages.h"
#include "tallyfile.h"
#include "tallymodel.h"
#include "tlzrw1.h"
#include "ttallylist.h"
#include "ui_ttallylist.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
QStringList column(const TallyModel &m, int row)
{
    QStringList out;
    for (int c = 1; c <= 8; ++c)
        out << m.cell(row, c);
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// One game's end as the main window reports it.
void game(TallyModel &m, const QStringList &others, const QString &winner)
{
    m.loadchecklist(others);
    m.addgame(winner);
}
} // namespace

class TestTally : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void games_data();
    void games();
    void nothingCountsAlone();
    void bestWordNeedsAHigherScore();
    void notANumberCountsFromZero();
    void removingKeepsTheOthers();
    void reset_data();
    void reset();
    void theExampleFile();
    void reloadKeepsTotalsNotSessions();
    void unreadableFilesAreKeptAside_data();
    void unreadableFilesAreKeptAside();
    void failedSaveKeepsThePreviousFile();
    void compressingOntoItself();
    void windowFollowsAndDrops();
    void windowMadeLateShowsTheSame_data();
    void windowMadeLateShowsTheSame();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QStringList shown;
    QList<bool> answers;
};

void TestTally::init()
{
    dir = std::make_unique<QTemporaryDir>();
    shown.clear();
    answers.clear();
    ui::setMessageSink([this](const QString &t) { shown << t; });
    ui::setQuestionSink([this](const QString &t) {
        shown << t;
        return answers.isEmpty() ? false : answers.takeFirst();
    });
}

void TestTally::cleanup()
{
    ui::setMessageSink(nullptr);
    ui::setQuestionSink(nullptr);
}

void TestTally::games_data()
{
    QTest::addColumn<QStringList>("others"); // the other seated players
    QTest::addColumn<QStringList>("followed"); // tallied before the game
    QTest::addColumn<QString>("winner");
    QTest::addColumn<QStringList>("own"); // row 0, columns 1 and 2
    QTest::addColumn<QStringList>("first"); // columns 1..8 of the first followed
    QTest::newRow("Klot wins a solo game")
            << QStringList{"Klot"} << QStringList{"Klot"} << "Klot" << QStringList{"1", "0"}
            << QStringList{"1", "1", "0", "0", "1", "1", "0", "0"};
    QTest::newRow("we win against Klot") << QStringList{"Klot"} << QStringList{"klot"} << "addtomine"
                                         << QStringList{"1", "1"}
                                         << QStringList{"1", "0", "1", "0", "1", "0", "1", "0"};
    QTest::newRow("a third player wins") << QStringList{"Bo", "Cy", "Di"} << QStringList{"Bo", "Di"} << "Cy"
                                         << QStringList{"1", "0"}
                                         << QStringList{"1", "0", "0", "1", "1", "0", "0", "1"};
    // The winner test compares exactly: "bo" is not the tallied "Bo".
    QTest::newRow("winner's case differs") << QStringList{"Bo"} << QStringList{"Bo"} << "bo" << QStringList{"1", "0"}
                                           << QStringList{"1", "0", "0", "1", "1", "0", "0", "1"};
    QTest::newRow("not in this game") << QStringList{"Klot"} << QStringList{"Zed"} << "Klot" << QStringList{"1", "0"}
                                      << QStringList{"0", "0", "0", "0", "0", "0", "0", "0"};
}

void TestTally::games()
{
    QFETCH(QStringList, others);
    QFETCH(QStringList, followed);
    QFETCH(QString, winner);
    QFETCH(QStringList, own);
    QFETCH(QStringList, first);
    TallyModel m;
    m.loadchecklist(others);
    for (const QString &name : followed)
        QVERIFY(m.addOpponent(name));
    QVERIFY(!m.addOpponent(followed.first().toUpper())); // already followed
    game(m, others, winner);
    QCOMPARE((QStringList{m.cell(0, 1), m.cell(0, 2)}), own);
    QCOMPARE(column(m, 1), first);
    if (followed.size() > 1)
        QCOMPARE(column(m, 2), first); // every followed player of the game alike
}

void TestTally::nothingCountsAlone()
{
    TallyModel m;
    m.loadchecklist({});
    m.anotherword();
    m.addtomineset(30, "ZEBRA");
    m.addgame("addtomine");
    QCOMPARE(m.toText(), TallyModel().toText());
}

void TestTally::bestWordNeedsAHigherScore()
{
    TallyModel m;
    m.loadchecklist({"Klot"});
    m.anotherword();
    m.addtomineset(12, "CAT");
    m.addtomineset(12, "DOG"); // a tie keeps the older word
    QCOMPARE(m.bestWord(), QString("CAT (12)"));
    m.addtomineset(13, "BIRD");
    m.addtomineset(5, "OX");
    QCOMPARE(m.bestWord(), QString("BIRD (13)"));
    QCOMPARE(m.cell(0, 3), QString("1"));
}

void TestTally::notANumberCountsFromZero()
{
    QByteArray text = "9\r\n2\r\n0\r\nKlot\r\nlots\r\n\r\n";
    for (int c = 2; c <= 8; ++c)
        text += (c == 5 ? QByteArray("best?") : QByteArray("3")) + "\r\n" + (c == 2 ? "x" : "4") + QByteArray("\r\n");
    auto m = TallyModel::fromText(text);
    QVERIFY(m);
    game(*m, {"Klot"}, "Klot");
    QCOMPARE(m->cell(0, 1), QString("1")); // "lots" counted from 0
    QCOMPARE(m->cell(1, 1), QString("1")); // empty: 0, then +1
    QCOMPARE(m->cell(1, 2), QString("1")); // "x" counted from 0
    m->addtomineset(50, "QUIZ"); // a best score that is no number stays
    QCOMPARE(m->cell(0, 4), QString("3"));
}

void TestTally::removingKeepsTheOthers()
{
    TallyModel m;
    m.loadchecklist({"Ann", "Bo", "Cy"});
    for (const char *n : {"Ann", "Bo", "Cy"})
        m.addOpponent(n);
    game(m, {"Ann", "Bo", "Cy"}, "Bo");
    m.moverow(3);
    QCOMPARE(m.tallied(), (QStringList{"Ann", "Bo"}));
    QCOMPARE(m.cell(2, 2), QString("1")); // Bo's win is still Bo's
    QCOMPARE(m.cell(1, 4), QString("1"));
    QVERIFY(!m.checklist().at(2).checked);
    m.moverow(1);
    QCOMPARE(m.tallied(), QStringList{"Bo"});
    QCOMPARE(m.cell(1, 2), QString("1"));
}

// Reset keeps row 0 only; with opponents tallied every row was wiped first,
// so its column 0 is left empty and the columns past the best word read "0".
void TestTally::reset_data()
{
    QTest::addColumn<QStringList>("opponents");
    QTest::addColumn<QString>("column0");
    QTest::newRow("no opponents") << QStringList() << "0";
    QTest::newRow("with opponents") << QStringList{"Klot", "Bo"} << "";
}

void TestTally::reset()
{
    QFETCH(QStringList, opponents);
    QFETCH(QString, column0);
    TallyModel m;
    m.loadchecklist(QStringList{"Klot"} + opponents);
    for (const QString &name : opponents)
        m.addOpponent(name);
    m.addtomineset(44, "QUIZ");
    m.anotherword();
    m.reset();
    QCOMPARE(m.rowCount(), 1);
    QCOMPARE(m.cell(0, 0), column0);
    for (int c = 1; c <= 8; ++c)
        QCOMPARE(m.cell(0, c), QString("0"));
}

// Three games with Klot in this run: two ours, one Klot's; w words, best X
// worth p.
void TestTally::theExampleFile()
{
    TallyModel m;
    m.loadchecklist({"Klot"});
    m.addOpponent("Klot");
    for (int i = 0; i < 4; ++i)
        m.anotherword();
    m.addtomineset(27, "CAT");
    game(m, {"Klot"}, "addtomine");
    game(m, {"Klot"}, "Klot");
    game(m, {"Klot"}, "addtomine");
    const QByteArray expected = "9\r\n2\r\n"
                                "0\r\nKlot\r\n"
                                "3\r\n3\r\n"
                                "2\r\n1\r\n"
                                "4\r\n2\r\n"
                                "CAT\r\n0\r\n"
                                "27\r\n3\r\n"
                                "0\r\n1\r\n"
                                "0\r\n2\r\n"
                                "0\r\n0\r\n";
    QCOMPARE(m.toText(), expected);
    QCOMPARE(expected.count("\r\n"), 20);
    const QString path = dir->filePath(tally::FileName);
    QVERIFY(tally::save(path, m));
    QCOMPARE(readAll(path).left(4), QByteArray("WRZL")); // the container, mode Fast
    Tlzrw1 doit;
    doit.InputFile = path;
    doit.OutputFile = dir->filePath("plain.txt");
    doit.Decompress();
    QCOMPARE(readAll(dir->filePath("plain.txt")), expected);
}

void TestTally::reloadKeepsTotalsNotSessions()
{
    TallyModel m;
    m.loadchecklist({"Klot"});
    m.addOpponent("Klot");
    game(m, {"Klot"}, "Klot");
    const QString path = dir->filePath(tally::FileName);
    QVERIFY(tally::save(path, m));
    const tally::Loaded back = tally::load(path);
    QVERIFY(back.error.isEmpty());
    QCOMPARE(column(back.model, 1), (QStringList{"1", "1", "0", "0", "0", "0", "0", "0"}));
    QCOMPARE(back.model.cell(0, 1), QString("1"));
}

void TestTally::unreadableFilesAreKeptAside_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("truncated") << "truncate";
    QTest::newRow("bit flipped") << "flip";
    QTest::newRow("not a container") << "text";
    QTest::newRow("container of no tally") << "notally";
    // A tally followed by megabytes of empty lines: a small file that
    // unpacks a thousandfold.
    QTest::newRow("expands too far") << "expands";
}

void TestTally::unreadableFilesAreKeptAside()
{
    QFETCH(QString, damage);
    const QString path = dir->filePath(tally::FileName);
    TallyModel m;
    m.loadchecklist({"Klot"});
    m.addOpponent("Klot");
    for (int i = 0; i < 40; ++i)
        game(m, {"Klot"}, i % 3 ? "addtomine" : "Klot");
    QVERIFY(tally::save(path, m));
    QByteArray bytes = readAll(path);
    if (damage == "truncate") {
        bytes.chop(5);
    } else if (damage == "flip") {
        bytes[4] = char(bytes[4] ^ 0x10); // the size the header promises
    } else if (damage == "text") {
        bytes = "9\r\n2\r\n";
    } else if (damage == "expands") {
        QByteArray text = m.toText();
        text += QByteArray(8 << 20, '\n').replace("\n", "\r\n");
        bytes = Tlzrw1::compressBytes(text, TCompressMode::Fast);
        QVERIFY(bytes.size() < text.size() / 8);
    } else {
        bytes = Tlzrw1::compressBytes("hello, not a tally", TCompressMode::Fast);
    }
    writeAll(path, bytes);
    writeAll(path + ".bad", "an earlier one");

    const tally::Loaded loaded = tally::load(path);
    QVERIFY(!loaded.error.isEmpty());
    QCOMPARE(loaded.keptAs, path + ".bad2");
    QCOMPARE(readAll(path + ".bad2"), bytes);
    QCOMPARE(readAll(path + ".bad"), QByteArray("an earlier one"));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(loaded.model.toText(), TallyModel().toText());

    // The window tells the user once, with the error's own message, and the
    // next exit writes a fresh tally.
    writeAll(path, bytes);
    {
        Ttallylist window(nullptr, path);
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().startsWith(loaded.error));
        QVERIFY(shown.first().contains(path + ".bad3"));
    }
    QVERIFY(tally::load(path).error.isEmpty());
}

void TestTally::failedSaveKeepsThePreviousFile()
{
    const QString path = dir->filePath(tally::FileName);
    TallyModel m;
    m.loadchecklist({"Klot"});
    m.addOpponent("Klot");
    QVERIFY(tally::save(path, m));
    const QByteArray before = readAll(path);
    game(m, {"Klot"}, "Klot");
    tally::failNextSave();
    QString error;
    QVERIFY(!tally::save(path, m, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{tally::FileName});
    QCOMPARE(tally::load(path).model.cell(1, 1), QString("0"));
}

void TestTally::compressingOntoItself()
{
    const QString path = dir->filePath("same.txt");
    writeAll(path, QByteArray(5000, 'a'));
    for (bool compress : {true, false}) {
        Tlzrw1 doit;
        doit.InputFile = path;
        doit.OutputFile = dir->filePath("./same.txt");
        QVERIFY_THROWS_EXCEPTION(ELzrw1Exception, compress ? doit.Compress() : doit.Decompress());
        QCOMPARE(readAll(path), QByteArray(5000, 'a'));
    }
}

void TestTally::windowFollowsAndDrops()
{
    const QString path = dir->filePath(tally::FileName);
    {
        Ttallylist window(nullptr, path);
        QCOMPARE(window.form()->mylabel_4->text(), QString("0"));
        QCOMPARE(window.windowTitle(), QString("Word Mire - Tally List"));
        QCOMPARE(window.form()->label_hisname->text(), QString("XX Wins:"));
        window.setPlayerSource([] { return QStringList{"Bo", "Klot"}; });
        window.loadchecklist();
        QListWidget *current = window.form()->checklist;
        QCOMPARE(current->count(), 2);
        QCOMPARE(current->item(1)->checkState(), Qt::Unchecked);
        current->item(1)->setCheckState(Qt::Checked); // follow Klot
        current = window.form()->checklist;
        QCOMPARE(window.model().tallied(), QStringList{"Klot"});
        QCOMPARE(window.form()->listbox_tally->count(), 1);
        window.addgame("Klot");
        window.form()->listbox_tally->setCurrentRow(0);
        QCOMPARE(window.form()->label_1->text(), QString("1"));
        QCOMPARE(window.form()->label_2->text(), QString("1"));
        QCOMPARE(window.form()->label_6->text(), QString("1"));
        QCOMPARE(window.form()->label_hisname->text(), QString("Klot Wins:"));
        QCOMPARE(window.form()->label_hisnametop->text(), QString("Klot's Tally"));
        // Unchecking with No keeps everything, with Yes drops the opponent.
        answers = {false};
        window.form()->listbox_tally->item(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(shown.last(), QString("This will delete Klot's Tally, Are you want to delete it?"));
        QCOMPARE(window.form()->listbox_tally->item(0)->checkState(), Qt::Checked);
        QCOMPARE(window.model().tallied(), QStringList{"Klot"});
        answers = {true};
        window.form()->listbox_tally->item(0)->setCheckState(Qt::Unchecked);
        QVERIFY(window.model().tallied().isEmpty());
        QCOMPARE(window.form()->listbox_tally->count(), 0);
        // Reset asks first; No changes nothing.
        answers = {false};
        QTest::mouseClick(window.form()->button_reset, Qt::LeftButton);
        QCOMPARE(shown.last(), QString("Are you sure you want to reset the Tally?"));
        QCOMPARE(window.form()->mylabel_1->text(), QString("1"));
        QTest::mouseClick(window.form()->button_done, Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }
    // Written when the window goes: one game, no opponents.
    const tally::Loaded back = tally::load(path);
    QCOMPARE(back.model.cell(0, 1), QString("1"));
    QCOMPARE(back.model.rowCount(), 1);
}

void TestTally::windowMadeLateShowsTheSame_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("no file") << "none";
    QTest::newRow("a kept tally") << "kept";
    QTest::newRow("an unreadable file") << "unreadable";
}

// The window's widgets are made when it is first shown. Whenever that is, in
// a run's course, it shows what a window made at the start would show.
void TestTally::windowMadeLateShowsTheSame()
{
    QFETCH(QString, file);
    TallyModel kept;
    kept.loadchecklist({"Klot"});
    kept.addOpponent("Klot");
    kept.addtomineset(99, "QUIZ");
    const auto snapshot = [](Ttallylist &w) {
        Ui::Ttallylist *f = w.form();
        QStringList out{f->mylabel_1->text(), f->mylabel_2->text(), f->mylabel_3->text(), f->mylabel_4->text()};
        for (QListWidget *list : {f->checklist, f->listbox_tally})
            for (int i = 0; i < list->count(); ++i)
                out << list->item(i)->text() + QString::number(list->item(i)->checkState());
        return out;
    };
    const std::function<void(Ttallylist &)> steps[] = {
            [](Ttallylist &w) { w.loadchecklist(); },
            [](Ttallylist &w) { w.anotherword(); },
            [](Ttallylist &w) { w.addtomineset(12, "ELM"); },
            [](Ttallylist &w) { w.addgame("Klot"); },
    };
    constexpr int Steps = int(std::size(steps));
    QStringList expected;
    for (int madeAt = 0; madeAt <= Steps; ++madeAt) {
        const QString path = dir->filePath(QStringLiteral("tally%1").arg(madeAt));
        if (file == "kept")
            QVERIFY(tally::save(path, kept));
        else if (file == "unreadable")
            writeAll(path, "not a tally");
        Ttallylist window(nullptr, path);
        window.setPlayerSource([] { return QStringList{"Bo", "Klot"}; });
        for (int k = 0; k < Steps; ++k) {
            if (k == madeAt)
                window.form();
            steps[k](window);
        }
        window.show();
        const QStringList seen = snapshot(window);
        if (madeAt == 0)
            expected = seen;
        QCOMPARE(seen, expected);
    }
    QVERIFY(expected.size() > 4);
}

QTEST_MAIN(TestTally)
#include "tst_tally.moc"
