#include "tlzrw1.h"

#include <QBuffer>

#include "lzhuf.h"
#include "lzrw1kh.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <memory>
#include <new>
#include <vector>

namespace {
constexpr qint64 Segment = qint64(lzrw1kh::MaxSegment);
constexpr qint64 IoBuffer = qint64(lzrw1kh::BufferSize);
} // namespace

// One operation's files, buffers and messages. On an error the output file
// (when this operation created it) is closed and removed before the error
// leaves.
class Tlzrw1::Session {
public:
    explicit Session(Tlzrw1 &c) : comp(c), stream(c.UseStream) { }
    ~Session()
    {
        if (ownIn)
            ownIn->close();
        if (ownOut) {
            ownOut->close();
            if (failed)
                QFile::remove(ownOut->fileName());
        }
    }

    [[noreturn]] void fail(const QString &message)
    {
        failed = true;
        throw ELzrw1Exception(message);
    }

    void getBuffers()
    {
        try {
            inBuf.assign(size_t(IoBuffer), 0);
            outBuf.assign(size_t(IoBuffer), 0);
        } catch (const std::bad_alloc &) {
            fail(QStringLiteral("Lzrw1 (de)compression : Failed to get memory for I/O buffers !"));
        }
    }

    qint64 inputSize()
    {
        if (stream) {
            if (!comp.m_inStream || comp.m_inStream->isSequential())
                fail(QStringLiteral("Lzrw1 compression : Failed to obtain the size of the input stream !"));
            return comp.m_inStream->size() - comp.m_inStream->pos();
        }
        const QFileInfo info(comp.InputFile);
        if (!info.exists() || !info.isFile())
            fail(QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ") + comp.InputFile);
        return info.size();
    }

    void openInput()
    {
        if (stream) {
            in = comp.m_inStream;
            if (!in || !in->isReadable())
                fail(QStringLiteral("Lzrw1 (de)compression : Failed to initialize input stream !"));
            return;
        }
        ownIn = std::make_unique<QFile>(comp.InputFile);
        if (!ownIn->open(QIODevice::ReadOnly))
            fail(QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") + comp.InputFile);
        in = ownIn.get();
    }

    void createOutput()
    {
        if (stream) {
            out = comp.m_outStream;
            if (!out || !out->isWritable())
                fail(QStringLiteral("Lzrw1 (de)compression : Failed to initialize output stream !"));
            return;
        }
        // Writing onto the input would empty it before a byte is read.
        const QFileInfo target(comp.OutputFile);
        if (target.exists() && target.canonicalFilePath() == QFileInfo(comp.InputFile).canonicalFilePath())
            fail(QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ") + comp.OutputFile);
        ownOut = std::make_unique<QFile>(comp.OutputFile);
        if (!ownOut->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            ownOut.reset();
            fail(QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ") + comp.OutputFile);
        }
        out = ownOut.get();
    }

    QString readError(const char *suffix = "") const
    {
        return stream
                ? QStringLiteral("Lzrw1 : Error reading from input stream !")
                : QStringLiteral("Lzrw1 : Error reading from input file : ") + comp.InputFile + QLatin1String(suffix);
    }
    QString corrupt() const
    {
        return stream ? QStringLiteral("Lzrw1 : corrupt data in input stream !")
                      : QStringLiteral("Lzrw1 : corrupt data in input file : ") + comp.InputFile;
    }

    // Reads up to n bytes; a device error (not a short read) fails.
    qint64 readSome(char *buf, qint64 n, const char *suffix = "")
    {
        qint64 got = 0;
        while (got < n) {
            const qint64 r = in->read(buf + got, n - got);
            if (r < 0)
                fail(readError(suffix));
            if (r == 0)
                break;
            got += r;
        }
        bytesIn += got;
        return got;
    }
    void readExactly(char *buf, qint64 n)
    {
        if (readSome(buf, n) != n)
            fail(readError());
    }
    void writeExactly(const void *buf, qint64 n)
    {
        if (out->write(static_cast<const char *>(buf), n) != n) {
            fail(stream ? QStringLiteral("Lzrw1 : Error writing to output stream !")
                        : QStringLiteral("Lzrw1 : Error writing to output file : ") + comp.OutputFile);
        }
        bytesOut += n;
    }

    void report(const char *algo)
    {
        emit comp.progress(QStringLiteral("(%1) Bytes in : %2 Bytes out : %3")
                                   .arg(QLatin1String(algo))
                                   .arg(bytesIn)
                                   .arg(bytesOut));
    }

    Tlzrw1 &comp;
    bool stream;
    bool failed = false;
    std::unique_ptr<QFile> ownIn, ownOut;
    QIODevice *in = nullptr;
    QIODevice *out = nullptr;
    std::vector<std::uint8_t> inBuf, outBuf;
    qint64 bytesIn = 0, bytesOut = 0;
};

Tlzrw1::Tlzrw1(QObject *parent) : QObject(parent)
{ }
Tlzrw1::~Tlzrw1() = default;

qint64 Tlzrw1::Compress()
{
    const bool fast = CompressMode == TCompressMode::Fast || (CompressMode == TCompressMode::Auto && Advise());
    Session s(*this);
    s.getBuffers();
    const qint64 size = s.inputSize();
    if (size > 0x7FFFFFFF)
        s.fail(UseStream ? QStringLiteral("Lzrw1 compression : Failed to obtain the size of the input stream !")
                         : QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ") + InputFile);
    s.openInput();
    s.createOutput();

    uchar header[8];
    qToLittleEndian<quint32>(fast ? IdLzrw1 : IdLzh, header);
    qToLittleEndian<qint32>(qint32(size), header + 4);
    s.writeExactly(header, 8);

    if (fast) {
        lzrw1kh::TLZR coder;
        for (;;) {
            // The two bytes past the segment feed only the hash; keep them
            // defined.
            const qint64 got = s.readSome(reinterpret_cast<char *>(s.inBuf.data()), Segment, " (LZRW1/KH)");
            s.inBuf[size_t(got)] = 0;
            s.inBuf[size_t(got) + 1] = 0;
            const std::size_t len = coder.compress(s.inBuf.data(), size_t(got), s.outBuf.data() + 2);
            qToLittleEndian<quint16>(quint16(len), s.outBuf.data());
            s.writeExactly(s.outBuf.data(), qint64(len) + 2);
            s.report("LZRW1/KH");
            if (got < Segment)
                break;
        }
    } else {
        lzhuf::TLZH coder;
        const lzhuf::Result r = coder.encode(
                size,
                [&s](std::uint8_t *buf, std::size_t max) {
                    const qint64 got = s.readSome(reinterpret_cast<char *>(buf),
                            qint64(std::min<std::size_t>(max, size_t(Segment))), " (LZH)");
                    s.report("LZH");
                    return std::size_t(got);
                },
                [&s](const std::uint8_t *buf, std::size_t n) {
                    s.writeExactly(buf, qint64(n));
                    return true;
                });
        if (r == lzhuf::Result::ReadError)
            s.fail(s.readError(" (LZH)"));
    }
    return s.bytesOut;
}

qint64 Tlzrw1::Decompress()
{
    Session s(*this);
    s.getBuffers();
    s.openInput();
    s.createOutput();

    char head[8];
    if (s.readSome(head, 4) != 4) {
        s.fail(UseStream ? QStringLiteral("Lzrw1 decompression : input stream contains no valid header !")
                         : InputFile + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !"));
    }
    const quint32 id = qFromLittleEndian<quint32>(head);
    if (id != IdLzrw1 && id != IdLzh) {
        s.fail(UseStream ? QStringLiteral("Lzrw1 decompression : input stream contains no valid header !")
                         : InputFile + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !"));
    }
    s.readExactly(head + 4, 4);
    const qint64 size = qFromLittleEndian<qint32>(head + 4);
    const qint64 startOut = s.bytesOut;

    if (id == IdLzrw1) {
        const QString mismatch =
                QStringLiteral("Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
        for (;;) {
            uchar lenBytes[2];
            s.readExactly(reinterpret_cast<char *>(lenBytes), 2);
            const qint64 len = qFromLittleEndian<quint16>(lenBytes);
            if (len > Segment + 1)
                s.fail(s.corrupt());
            s.readExactly(reinterpret_cast<char *>(s.inBuf.data()), len);
            const long n = lzrw1kh::decompress(s.inBuf.data(), size_t(len), s.outBuf.data());
            if (n < 0)
                s.fail(s.corrupt());
            // More output than the header promised can only be wrong; stop
            // before writing it.
            if (s.bytesOut - startOut + n > size)
                s.fail(mismatch);
            s.writeExactly(s.outBuf.data(), n);
            s.report("LZRW1/KH");
            if (n < Segment)
                break;
        }
        if (s.bytesOut - startOut != size)
            s.fail(mismatch);
    } else {
        const QString mismatch =
                QStringLiteral("Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
        if (size < 0)
            s.fail(mismatch);
        lzhuf::TLZH coder;
        const lzhuf::Result r = coder.decode(
                size,
                [&s](std::uint8_t *buf, std::size_t max) {
                    const qint64 got = s.readSome(
                            reinterpret_cast<char *>(buf), qint64(std::min<std::size_t>(max, size_t(Segment))));
                    s.report("LZH");
                    return std::size_t(got);
                },
                [&s](const std::uint8_t *buf, std::size_t n) {
                    s.writeExactly(buf, qint64(n));
                    return true;
                });
        if (r == lzhuf::Result::SizeMismatch)
            s.fail(mismatch);
        if (r != lzhuf::Result::Ok)
            s.fail(s.corrupt());
        if (s.bytesOut - startOut != size)
            s.fail(mismatch);
    }
    return s.bytesOut - startOut;
}

bool Tlzrw1::Advise()
{
    Session s(*this);
    const qint64 size = s.inputSize();
    if (size <= 98303) {
        CompressMode = TCompressMode::Good;
        return false;
    }
    s.getBuffers();
    s.openInput();
    const qint64 start = s.in->pos();
    lzrw1kh::TLZR coder;
    qint64 sampled = 0;
    qint64 coded = 0;
    for (const qint64 at : {size / 3, size * 2 / 3}) {
        const qint64 offset = at / Segment * Segment;
        if (!s.in->seek(start + offset))
            s.fail(s.readError());
        const qint64 got = s.readSome(reinterpret_cast<char *>(s.inBuf.data()), Segment);
        s.inBuf[size_t(got)] = 0;
        s.inBuf[size_t(got) + 1] = 0;
        coded += qint64(coder.compress(s.inBuf.data(), size_t(got), s.outBuf.data()));
        sampled += got;
    }
    s.in->seek(start);
    return coded < sampled * Threshold / 100;
}

namespace {
// Runs the component from one memory buffer to another.
// An output buffer that refuses to grow past its cap (none when negative).
class CappedBuffer : public QBuffer {
public:
    explicit CappedBuffer(qint64 cap) : m_cap(cap) { }

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (m_cap >= 0 && size() + len > m_cap)
            return -1;
        return QBuffer::writeData(data, len);
    }

private:
    qint64 m_cap;
};

template <class Run> QByteArray throughMemory(const QByteArray &input, Run run, qint64 maxOutput = -1)
{
    QByteArray source = input;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    CappedBuffer out(maxOutput);
    out.open(QIODevice::WriteOnly);
    Tlzrw1 c;
    c.UseStream = true;
    c.setInputStream(&in);
    c.setOutputStream(&out);
    run(c);
    return out.data();
}
} // namespace

QByteArray Tlzrw1::compressBytes(const QByteArray &plain, TCompressMode mode)
{
    return throughMemory(plain, [mode](Tlzrw1 &c) {
        c.CompressMode = mode;
        c.Compress();
    });
}

QByteArray Tlzrw1::decompressBytes(const QByteArray &container, qint64 maxOutput)
{
    return throughMemory(
            container, [](Tlzrw1 &c) { c.Decompress(); }, maxOutput);
}
