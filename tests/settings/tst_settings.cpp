// The settings file with real files in a temporary folder: what is read, what
// survives a write, and what a failed write leaves.

#include "appfiles.h"
#include "inifile.h"
#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

settings::Values fromText(const QByteArray &text)
{
    return settings::read(IniFile::parse(text).value_or(IniFile()));
}

const QByteArray kOther = "; written by another program of the suite\r\n"
                          "[Gatehouse]\r\n"
                          "Server = lobby.example:7700 ; keep\r\n"
                          "Name=\"Ann \\ Bo\"\r\n"
                          "\r\n";
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void keys_data();
    void keys();
    void handWrittenValuesReadBack();
    void othersSurviveAWrite();
    void ourKeysAreReplacedInPlace();
    void failedWriteKeepsTheOldFile();
    void unreadableFileIsLeftAlone_data();
    void unreadableFileIsLeftAlone();
    void filesGoWhereTheyHarmNobody_data();
    void filesGoWhereTheyHarmNobody();
};

void TestSettings::defaults()
{
    const settings::Values p = fromText(kOther);
    QCOMPARE(p.playto, std::optional<int>(110));
    QCOMPARE(p.creationtime, std::optional<int>(70));
    QCOMPARE(p.shuffles, std::optional<int>(1));
    QCOMPARE(p.tiles, QByteArray("classic"));
    QCOMPARE(p.textsize, 8);
    QCOMPARE(p.textcolor.toLower(), QByteArray("clblack"));
    QVERIFY(p.playsounds);
    QVERIFY(p.chattersounds);
    QVERIFY(!p.postwords);
    QCOMPARE(p.turnsound, 0);
    QCOMPARE(QRect(p.left, p.top, p.width, p.height), QRect(3, 3, 790, 580));
    for (int k = 1; k <= 9; ++k)
        QVERIFY(p.phrases[size_t(k)].isEmpty());
}

void TestSettings::keys_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("size 9") << QByteArray("Textsize=9") << QByteArray("textsize") << QByteArray("9");
    QTest::newRow("size not a number") << QByteArray("Textsize=big") << QByteArray("textsize") << QByteArray("8");
    QTest::newRow("turn sound 7") << QByteArray("Turnsound=7") << QByteArray("turnsound") << QByteArray("0");
    QTest::newRow("turn sound 1") << QByteArray("Turnsound=1") << QByteArray("turnsound") << QByteArray("1");
    QTest::newRow("turn sound 2") << QByteArray("Turnsound=2") << QByteArray("turnsound") << QByteArray("2");
    QTest::newRow("sounds FALSE: exact case")
            << QByteArray("Playsounds=FALSE") << QByteArray("playsounds") << QByteArray("1");
    QTest::newRow("sounds false") << QByteArray("Playsounds=false") << QByteArray("playsounds") << QByteArray("0");
    QTest::newRow("posting True: exact case")
            << QByteArray("Postwordsinchatbox=True") << QByteArray("postwords") << QByteArray("0");
    QTest::newRow("chatter false") << QByteArray("ChatterSounds=false") << QByteArray("chatter") << QByteArray("0");
    QTest::newRow("play to 50, clamped later")
            << QByteArray("Playtoscore=50") << QByteArray("playto") << QByteArray("50");
    QTest::newRow("shuffles x: left alone") << QByteArray("Shuffles=x") << QByteArray("shuffles") << QByteArray("-");
    QTest::newRow("empty tiles: classic") << QByteArray("Tiles=") << QByteArray("tiles") << QByteArray("classic");
    QTest::newRow("key case") << QByteArray("TILES=wood") << QByteArray("tiles") << QByteArray("wood");
    QTest::newRow("top not a number") << QByteArray("Top=-") << QByteArray("top") << QByteArray("3");
    QTest::newRow("best word off") << QByteArray("Showbestword=false") << QByteArray("best") << QByteArray("0");
    QTest::newRow("best word garbled: on") << QByteArray("Showbestword=no") << QByteArray("best") << QByteArray("1");
    QTest::newRow("strength strong") << QByteArray("Klotstrength=2") << QByteArray("strength") << QByteArray("2");
    QTest::newRow("strength out of range: normal")
            << QByteArray("Klotstrength=9") << QByteArray("strength") << QByteArray("1");
    QTest::newRow("strength empty: normal") << QByteArray("Klotstrength=") << QByteArray("strength") << QByteArray("1");
}

void TestSettings::keys()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, expected);
    const settings::Values p = fromText(kOther + "[wordmire]\r\n" + line + "\r\n");
    const auto opt = [](const std::optional<int> &v) { return v ? QByteArray::number(*v) : QByteArray("-"); };
    const QHash<QByteArray, QByteArray> got = {
            {"textsize", QByteArray::number(p.textsize)},
            {"turnsound", QByteArray::number(p.turnsound)},
            {"playsounds", QByteArray::number(p.playsounds)},
            {"postwords", QByteArray::number(p.postwords)},
            {"chatter", QByteArray::number(p.chattersounds)},
            {"playto", opt(p.playto)},
            {"shuffles", opt(p.shuffles)},
            {"tiles", p.tiles},
            {"top", QByteArray::number(p.top)},
            {"best", QByteArray::number(p.showbestword)},
            {"strength", QByteArray::number(p.klotstrength)},
    };
    QCOMPARE(got.value(field), expected);
}

void TestSettings::handWrittenValuesReadBack()
{
    const QByteArray text = "[Wordmire]\nPhrase6=Wow, WTG!\nPhrase2=\"quoted\" and \\back\\slashed\nPhrase3= spaced \n";
    const settings::Values p = fromText(text);
    QCOMPARE(p.phrases[6], QByteArray("Wow, WTG!"));
    QCOMPARE(p.phrases[2], QByteArray("\"quoted\" and \\back\\slashed"));
    QCOMPARE(p.phrases[3], QByteArray(" spaced "));
    // What we write reads back exactly too.
    IniFile ini;
    std::array<QByteArray, 10> phrases{};
    phrases[1] = "a=b; c # d";
    phrases[9] = "line\nbreak";
    settings::writePhrases(ini, phrases);
    const settings::Values back = fromText(ini.text());
    QCOMPARE(back.phrases[1], QByteArray("a=b; c # d"));
    QCOMPARE(back.phrases[9], QByteArray("line break"));
}

void TestSettings::othersSurviveAWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("corvelgatehouse.ini");
    const QByteArray tail = "[Later]\r\nKey=Value\r\n";
    QVERIFY(writeAll(path, kOther + "[Wordmire]\r\nUnknownKey=kept\r\nTiles=wood\r\n\r\n" + tail));
    SettingsFile file(path);
    settings::Values p = settings::read(file.read());
    p.textsize = 12;
    QVERIFY(file.update([&p](IniFile &ini) { settings::write(ini, p); }));
    const QByteArray after = readAll(path);
    QVERIFY(after.startsWith(kOther + "[Wordmire]\r\nUnknownKey=kept\r\nTiles=wood\r\n"));
    QVERIFY(after.endsWith("\r\n\r\n" + tail));
    QVERIFY(after.contains("Textsize=12\r\n"));
    QCOMPARE(settings::read(file.read()).tiles, QByteArray("wood"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"corvelgatehouse.ini"});
}

void TestSettings::ourKeysAreReplacedInPlace()
{
    IniFile ini = *IniFile::parse("[Wordmire]\nTextsize=8\n[Other]\nTextsize=99\n");
    ini.setValue("WORDMIRE", "textsize", "14");
    QCOMPARE(ini.text(), QByteArray("[Wordmire]\ntextsize=14\n[Other]\nTextsize=99\n"));
    ini.setValue("Wordmire", "Tiles", "dark");
    QCOMPARE(ini.text(), QByteArray("[Wordmire]\ntextsize=14\nTiles=dark\n[Other]\nTextsize=99\n"));
    IniFile fresh;
    fresh.setValue("Wordmire", "Top", "3");
    QCOMPARE(fresh.text(), QByteArray("[Wordmire]\r\nTop=3\r\n"));
}

void TestSettings::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("corvelgatehouse.ini");
    const QByteArray old = kOther + "[Wordmire]\r\nTextsize=10\r\n";
    QVERIFY(writeAll(path, old));
    SettingsFile file(path);
    file.failNextWrite();
    settings::Values p;
    p.textsize = 14;
    QVERIFY(!file.update([&p](IniFile &ini) { settings::write(ini, p); }));
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"corvelgatehouse.ini"});
    QVERIFY(file.update([&p](IniFile &ini) { settings::write(ini, p); }));
    QCOMPARE(settings::read(file.read()).textsize, 14);
}

void TestSettings::unreadableFileIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content"); // "<dir>" for a folder of that name
    QTest::newRow("binary") << QByteArray("[Wordmire]\nTextsize=12\n\0\1\2", 24);
    QTest::newRow("folder") << QByteArray("<dir>");
}

void TestSettings::unreadableFileIsLeftAlone()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath("corvelgatehouse.ini");
    if (content == "<dir>")
        QVERIFY(QDir().mkdir(path));
    else
        QVERIFY(writeAll(path, content));
    SettingsFile file(path);
    QCOMPARE(settings::read(file.read()).textsize, 8); // defaults
    QVERIFY(file.broken());
    if (content == "<dir>") {
        // Nothing can be written there, and the folder is not moved.
        QVERIFY(!file.update([](IniFile &) {}));
        QVERIFY(QFileInfo(path).isDir());
        return;
    }
    QCOMPARE(readAll(path), content);
    // The user changes an option: the old file is kept aside, a new one written.
    settings::Values p;
    QVERIFY(file.update([&p](IniFile &ini) { settings::write(ini, p); }));
    QCOMPARE(readAll(path + ".bad"), content);
    QVERIFY(!file.broken());
    QCOMPARE(settings::read(file.read()).textsize, 8);
}

void TestSettings::filesGoWhereTheyHarmNobody_data()
{
    QTest::addColumn<QStringList>("folders"); // made under a temporary root
    QTest::addColumn<QString>("program"); // the program's folder there
    QTest::addColumn<bool>("inDataFolder");
    QTest::newRow("a copy in its own folder") << QStringList{"game"} << "game" << false;
    QTest::newRow("the build tree") << QStringList{"build/src/app", "build/tests"} << "build/src/app" << false;
    QTest::newRow("a bin without the game's data") << QStringList{"usr/bin", "usr/share/other"} << "usr/bin" << false;
    QTest::newRow("installed") << QStringList{"usr/bin", "usr/share/wordmire/zephyrtiles"} << "usr/bin" << true;
    QTest::newRow("installed for the user")
            << QStringList{"home/.local/bin", "home/.local/share/wordmire"} << "home/.local/bin" << true;
}

// The word list of an installed game goes to the user's data folder, never
// into whatever folder the menu starts it in, and its settings to the
// user's config folder; a copy keeps the working folder and its own.
void TestSettings::filesGoWhereTheyHarmNobody()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, program);
    QFETCH(bool, inDataFolder);
    QTemporaryDir root;
    for (const QString &f : folders)
        QVERIFY(QDir(root.path()).mkpath(f));
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QDir(root.path()).filePath("data").toUtf8());
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QDir(root.path()).filePath("config").toUtf8());
    const QString programDir = QDir(root.path()).filePath(program);
    const QString dir = settings::wordListDir(programDir);
    const QString files = settings::filesDir(programDir);
    qputenv("XDG_DATA_HOME", dataHome);
    qputenv("XDG_CONFIG_HOME", configHome);
    if (!inDataFolder) {
        QCOMPARE(dir, QString());
        QCOMPARE(files, programDir); // the settings and tally stay beside a copy
        return;
    }
    QVERIFY2(dir.startsWith(QDir(root.path()).filePath("data/")), qPrintable(dir));
    QVERIFY(QFileInfo(dir).isDir()); // made, so the host can write there at once
    // Never into the system's folder, even for root, who could write there.
    QVERIFY2(files.startsWith(QDir(root.path()).filePath("config/")), qPrintable(files));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
