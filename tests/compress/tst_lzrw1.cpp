#include "lzhuf.h"
#include "lzrw1kh.h"
#include "testdata.h"
#include "tlzrw1.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {
QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le16(quint16 v)
{
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}
} // namespace

class TestLzrw1 : public QObject {
    Q_OBJECT
private slots:
    void init();

    void emptyFast();
    void exactSegment();
    void randomIsStored();
    void runOfHundred();
    void copyItem();
    void foreignIdentifier();
    void wrongSize_data();
    void wrongSize();
    void adviseSmall();
    void adviseLarge_data();
    void adviseLarge();
    void autoMode();
    void roundTripFiles_data();
    void roundTripFiles();
    void roundTripStreams_data();
    void roundTripStreams();
    void corrupt_data();
    void corrupt();
    void fileErrors();
    void lzhTreeStaysConsistent();
    void lzhEmptyAndHeader();

private:
    QByteArray compress(const QByteArray &data, TCompressMode mode);
    QByteArray decompress(const QByteArray &container, QString *error = nullptr);
    QString path(const char *name) const { return dir->filePath(QString::fromLatin1(name)); }
    void writeFile(const QString &p, const QByteArray &data);
    QByteArray readFile(const QString &p);

    std::unique_ptr<QTemporaryDir> dir;
};

void TestLzrw1::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestLzrw1::writeFile(const QString &p, const QByteArray &data)
{
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

QByteArray TestLzrw1::readFile(const QString &p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray TestLzrw1::compress(const QByteArray &data, TCompressMode mode)
{
    writeFile(path("plain"), data);
    Tlzrw1 c;
    c.InputFile = path("plain");
    c.OutputFile = path("packed");
    c.CompressMode = mode;
    const qint64 n = c.Compress();
    const QByteArray out = readFile(path("packed"));
    if (n != out.size())
        return "<count mismatch>";
    return out;
}

QByteArray TestLzrw1::decompress(const QByteArray &container, QString *error)
{
    writeFile(path("packed"), container);
    QFile::remove(path("unpacked"));
    Tlzrw1 c;
    c.InputFile = path("packed");
    c.OutputFile = path("unpacked");
    try {
        const qint64 n = c.Decompress();
        const QByteArray out = readFile(path("unpacked"));
        if (n != out.size())
            return "<count mismatch>";
        return out;
    } catch (const ELzrw1Exception &e) {
        if (error)
            *error = e.message();
        return "<error>";
    }
}

void TestLzrw1::emptyFast()
{
    const QByteArray packed = compress({}, TCompressMode::Fast);
    QCOMPARE(packed, QByteArray("WRZL") + le32(0) + le16(1) + '\x80');
    QCOMPARE(packed.size(), 11);
    QCOMPARE(decompress(packed), QByteArray());
    QVERIFY(QFile::exists(path("unpacked")));
}

void TestLzrw1::exactSegment()
{
    const QByteArray data = makeData("text", 32768);
    const QByteArray packed = compress(data, TCompressMode::Fast);
    const quint16 first = qFromLittleEndian<quint16>(packed.constData() + 8);
    QCOMPARE(packed.size(), 8 + 2 + first + 3);
    QCOMPARE(packed.right(3), le16(1) + '\x80');
    QCOMPARE(packed.at(10), '\x40');
    QCOMPARE(decompress(packed), data);
}

void TestLzrw1::randomIsStored()
{
    const QByteArray data = makeData("random", 1000);
    const QByteArray packed = compress(data, TCompressMode::Fast);
    QCOMPARE(packed, QByteArray("WRZL") + le32(1000) + le16(1001) + '\x80' + data);
    QCOMPARE(decompress(packed), data);
    // A full random segment: L = 32769.
    const QByteArray big = makeData("random", 32768);
    QCOMPARE(compress(big, TCompressMode::Fast).mid(8, 3), le16(32769) + '\x80');
}

void TestLzrw1::runOfHundred()
{
    const QByteArray data(100, 'z');
    const QByteArray packed = compress(data, TCompressMode::Fast);
    // One control word with its first bit set, then the run item.
    QCOMPARE(packed.mid(8), le16(7) + QByteArray("\x40\x80\x00\x00\x00\x54z", 7));
    QCOMPARE(decompress(packed), data);
}

void TestLzrw1::copyItem()
{
    // "abcabcabc...": literals a, b, c, then one copy 3 back.
    const QByteArray data = QByteArray("abcdefabcdefabcdef");
    std::vector<std::uint8_t> src(data.begin(), data.end());
    src.resize(src.size() + 2);
    std::vector<std::uint8_t> dst(lzrw1kh::BufferSize);
    lzrw1kh::TLZR coder;
    const std::size_t n = coder.compress(src.data(), data.size(), dst.data());
    // Six literals, then a copy of length 12 from 6 back: offset 6, length-3 = 9.
    const QByteArray expected = QByteArray("\x40\x02\x00", 3) + "abcdef" + QByteArray("\x00\x69", 2);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(dst.data()), int(n)), expected);
    std::vector<std::uint8_t> back(lzrw1kh::MaxSegment);
    QCOMPARE(lzrw1kh::decompress(dst.data(), n, back.data()), long(data.size()));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(back.data()), data.size()), data);
}

void TestLzrw1::foreignIdentifier()
{
    QString error;
    QCOMPARE(decompress(QByteArray("ZIPX") + le32(0) + le16(1) + '\x80', &error), QByteArray("<error>"));
    QCOMPARE(error, path("packed") + " : Lzrw1 decompression : this file has no valid header !");
    QVERIFY(!QFile::exists(path("unpacked")));
    QCOMPARE(decompress("WR", &error), QByteArray("<error>"));
    QVERIFY(error.endsWith("this file has no valid header !"));
}

void TestLzrw1::wrongSize_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("delta");
    QTest::newRow("fast, larger") << int(TCompressMode::Fast) << 1;
    QTest::newRow("fast, smaller") << int(TCompressMode::Fast) << -1;
    QTest::newRow("good, larger") << int(TCompressMode::Good) << 1;
    QTest::newRow("good, smaller") << int(TCompressMode::Good) << -1;
}

void TestLzrw1::wrongSize()
{
    QFETCH(int, mode);
    QFETCH(int, delta);
    const QByteArray data = makeData("text", 5000);
    QByteArray packed = compress(data, TCompressMode(mode));
    qToLittleEndian<qint32>(5000 + delta, packed.data() + 4);
    QString error;
    QCOMPARE(decompress(packed, &error), QByteArray("<error>"));
    if (mode == int(TCompressMode::Fast)) {
        QCOMPARE(error, QString("Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"));
    } else if (delta < 0) {
        QCOMPARE(error, QString("Lzrw1 (LZH decompression) : Original and compressed sizes do not match !"));
    } else {
        // The stream ends before the promised byte.
        QCOMPARE(error, "Lzrw1 : corrupt data in input file : " + path("packed"));
    }
    QVERIFY(!QFile::exists(path("unpacked")));
}

void TestLzrw1::adviseSmall()
{
    writeFile(path("plain"), makeData("runs", 50000));
    Tlzrw1 c;
    c.InputFile = path("plain");
    QVERIFY(!c.Advise());
    QCOMPARE(c.CompressMode, TCompressMode::Good);
    c.CompressMode = TCompressMode::Auto;
    QVERIFY(!c.Advise());
    QCOMPARE(c.CompressMode, TCompressMode::Good);
}

void TestLzrw1::adviseLarge_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("fast");
    QTest::newRow("runs shrink well") << "runs" << true;
    QTest::newRow("random does not") << "random" << false;
}

void TestLzrw1::adviseLarge()
{
    QFETCH(QString, kind);
    QFETCH(bool, fast);
    writeFile(path("plain"), makeData(kind, 200000));
    Tlzrw1 c;
    c.InputFile = path("plain");
    QCOMPARE(c.Advise(), fast);
    QCOMPARE(c.CompressMode, TCompressMode::Good);
}

void TestLzrw1::autoMode()
{
    QCOMPARE(compress(makeData("runs", 200000), TCompressMode::Auto).left(4), QByteArray("WRZL"));
    QCOMPARE(compress(makeData("random", 200000), TCompressMode::Auto).left(4), QByteArray("!HZL"));
}

void TestLzrw1::roundTripFiles_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("size");
    for (int mode : {int(TCompressMode::Fast), int(TCompressMode::Good)}) {
        for (const char *kind : {"text", "runs", "random", "mixed"}) {
            for (int size : {0, 1, 2, 3, 17, 32767, 32768, 32769, 65536, 200000}) {
                QTest::addRow("%s %s %d", mode == int(TCompressMode::Fast) ? "fast" : "good", kind, size)
                        << mode << QString(kind) << size;
            }
        }
    }
}

void TestLzrw1::roundTripFiles()
{
    QFETCH(int, mode);
    QFETCH(QString, kind);
    QFETCH(int, size);
    const QByteArray data = makeData(kind, size, quint32(size + 3));
    const QByteArray packed = compress(data, TCompressMode(mode));
    QCOMPARE(packed.left(4), QByteArray(mode == int(TCompressMode::Fast) ? "WRZL" : "!HZL"));
    QCOMPARE(qFromLittleEndian<qint32>(packed.constData() + 4), size);
    if ((kind == "text" || kind == "runs") && size >= 32767)
        QVERIFY(packed.size() < size / 2);
    QCOMPARE(decompress(packed), data);
}

void TestLzrw1::roundTripStreams_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("size");
    for (int mode : {int(TCompressMode::Fast), int(TCompressMode::Good)})
        for (int size : {0, 1, 32768, 100000})
            QTest::addRow("%d %d", mode, size) << mode << size;
}

void TestLzrw1::roundTripStreams()
{
    QFETCH(int, mode);
    QFETCH(int, size);
    const QByteArray data = makeData("mixed", size);
    QBuffer in;
    in.setData("prefix" + data);
    QVERIFY(in.open(QIODevice::ReadOnly));
    in.seek(6); // reading starts where the stream stands
    QBuffer packed;
    QVERIFY(packed.open(QIODevice::WriteOnly));
    Tlzrw1 c;
    c.UseStream = true;
    c.CompressMode = TCompressMode(mode);
    c.setInputStream(&in);
    c.setOutputStream(&packed);
    const qint64 written = c.Compress();
    QCOMPARE(written, packed.data().size());

    QBuffer packedIn(&packed.buffer());
    QVERIFY(packedIn.open(QIODevice::ReadOnly));
    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    c.setInputStream(&packedIn);
    c.setOutputStream(&out);
    QCOMPARE(c.Decompress(), qint64(size));
    QCOMPARE(out.data(), data);

    // Stream forms of the messages.
    QBuffer junk;
    junk.setData("nope");
    QVERIFY(junk.open(QIODevice::ReadOnly));
    c.setInputStream(&junk);
    try {
        c.Decompress();
        QFAIL("no error");
    } catch (const ELzrw1Exception &e) {
        QCOMPARE(e.message(), QString("Lzrw1 decompression : input stream contains no valid header !"));
    }
}

void TestLzrw1::corrupt_data()
{
    QTest::addColumn<QByteArray>("container");
    QTest::addColumn<QString>("message"); // "corrupt", "read", "mismatch-fast", "mismatch-good"

    const QByteArray wrzl = "WRZL";
    auto block = [](const QByteArray &b) { return le16(quint16(b.size())) + b; };
    QTest::newRow("copy before start") << wrzl + le32(10) + block(QByteArray("\x40\x80\x00\x01\x00", 5)) << "corrupt";
    QTest::newRow("copy offset beyond output")
            << wrzl + le32(10) + block(QByteArray("\x40\x40\x00X\x00\x20", 6)) << "corrupt";
    QTest::newRow("item past block end") << wrzl + le32(10) + block(QByteArray("\x40\x80\x00\x00", 4)) << "corrupt";
    QTest::newRow("run past block end") << wrzl + le32(10) + block(QByteArray("\x40\x80\x00\x00\x00\x05", 6))
                                        << "corrupt";
    // A run of 4095 repeated nine times: more than one segment can hold.
    QByteArray runs("\x40\xFF\x80", 3);
    for (int i = 0; i < 9; ++i)
        runs += QByteArray("\x00\x0F\xEF\x41", 4);
    QTest::newRow("output over 32768") << wrzl + le32(40000) + block(runs) << "corrupt";
    QTest::newRow("block length too big") << wrzl + le32(10) + le16(40000) + QByteArray(40000, 'a') << "corrupt";
    QTest::newRow("block cut short") << wrzl + le32(10) + le16(50) + QByteArray(10, 'a') << "read";
    QTest::newRow("missing length") << wrzl + le32(10) << "read";
    QTest::newRow("missing size") << wrzl + QByteArray("\x01", 1) << "read";
    QTest::newRow("negative size") << wrzl + le32(0xFFFFFFFF) + le16(1) + '\x80' << "mismatch-fast";
    QTest::newRow("more than promised") << wrzl + le32(2) + le16(4) + QByteArray("\x80xyz") << "mismatch-fast";
    QTest::newRow("lzh stream ends") << QByteArray("!HZL") + le32(1000000) + QByteArray("\x12\x34") << "corrupt";
    QTest::newRow("lzh negative size") << QByteArray("!HZL") + le32(0x80000000) << "mismatch-good";
    QTest::newRow("lzh no stream") << QByteArray("!HZL") + le32(5) << "corrupt";
    QTest::newRow("lzh trailing bytes") << QByteArray("!HZL") + le32(0) + "x"
                                        << "mismatch-good";
}

void TestLzrw1::corrupt()
{
    QFETCH(QByteArray, container);
    QFETCH(QString, message);
    QString error;
    QCOMPARE(decompress(container, &error), QByteArray("<error>"));
    const QString expected = message == "corrupt" ? "Lzrw1 : corrupt data in input file : " + path("packed")
            : message == "read"                   ? "Lzrw1 : Error reading from input file : " + path("packed")
            : message == "mismatch-fast"
            ? "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"
            : "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
    QCOMPARE(error, expected);
    QVERIFY(!QFile::exists(path("unpacked")));
}

void TestLzrw1::fileErrors()
{
    Tlzrw1 c;
    c.InputFile = path("absent");
    c.OutputFile = path("out");
    try {
        c.Compress();
        QFAIL("no error");
    } catch (const ELzrw1Exception &e) {
        QCOMPARE(e.message(), "Lzrw1 compression : Failed to obtain the size of : " + path("absent"));
    }
    try {
        c.Decompress();
        QFAIL("no error");
    } catch (const ELzrw1Exception &e) {
        QCOMPARE(e.message(), "Lzrw1 (de)compression : Failed to open input file : " + path("absent"));
    }
    writeFile(path("plain"), "hello");
    c.InputFile = path("plain");
    c.OutputFile = path("no/such/folder/out");
    try {
        c.Compress();
        QFAIL("no error");
    } catch (const ELzrw1Exception &e) {
        QCOMPARE(e.message(), "Lzrw1 (de)compression : Failed to open output file : " + path("no/such/folder/out"));
    }
    QVERIFY(QFile::exists(path("plain")));
}

void TestLzrw1::lzhTreeStaysConsistent()
{
    // Enough symbols to halve and rebuild the tree several times.
    const QByteArray data = makeData("mixed", 300000);
    lzhuf::TLZH coder;
    qsizetype pos = 0;
    QByteArray packed;
    bool consistentMidway = true;
    const auto r = coder.encode(
            data.size(),
            [&](std::uint8_t *buf, std::size_t max) {
                const std::size_t n = std::min<std::size_t>(max, size_t(data.size() - pos));
                memcpy(buf, data.constData() + pos, n);
                pos += qsizetype(n);
                consistentMidway = consistentMidway && coder.treeConsistent();
                return n;
            },
            [&](const std::uint8_t *buf, std::size_t n) {
                packed.append(reinterpret_cast<const char *>(buf), qsizetype(n));
                return true;
            });
    QCOMPARE(r, lzhuf::Result::Ok);
    QVERIFY(consistentMidway);
    QVERIFY(coder.treeConsistent());
}

void TestLzrw1::lzhEmptyAndHeader()
{
    const QByteArray packed = compress({}, TCompressMode::Good);
    QCOMPARE(packed, QByteArray("!HZL") + le32(0));
    QCOMPARE(decompress(packed), QByteArray());
}

QTEST_GUILESS_MAIN(TestLzrw1)
#include "tst_lzrw1.moc"
