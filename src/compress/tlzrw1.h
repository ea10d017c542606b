#pragma once
// The compression component: packs one file (or stream) into a container,
// "WRZL" for LZRW1/KH or "!HZL" for LZHUF, and unpacks either kind. Every
// failure is an ELzrw1Exception; an output file left half written by a
// failure is removed.

#include <QObject>
#include <QString>

#include <stdexcept>

class QIODevice;

enum class TCompressMode { Good, Fast, Auto };

class ELzrw1Exception : public std::runtime_error {
public:
    explicit ELzrw1Exception(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) { }
    QString message() const { return m_message; }

private:
    QString m_message;
};

class Tlzrw1 : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 IdLzrw1 = 0x4C5A5257; // "WRZL"
    static constexpr quint32 IdLzh = 0x4C5A4821; // "!HZL"

    explicit Tlzrw1(QObject *parent = nullptr);
    ~Tlzrw1() override;

    QString InputFile;
    QString OutputFile;
    TCompressMode CompressMode = TCompressMode::Good;
    int Threshold = 40;
    bool UseStream = false;

    // The streams used when UseStream is set. Reading starts at the input's
    // current position; writing at the output's.
    void setInputStream(QIODevice *in) { m_inStream = in; }
    void setOutputStream(QIODevice *out) { m_outStream = out; }

    // Returns the bytes written, header included.
    qint64 Compress();
    // Returns the bytes written.
    qint64 Decompress();
    // True when Fast is the better mode for the input.
    bool Advise();

    // A container made from bytes in memory, and the bytes out of one, through
    // the stream mode; the component's errors are thrown as ever.
    static QByteArray compressBytes(const QByteArray &plain, TCompressMode mode);
    // With a cap, an output that would grow past it ends in the component's
    // exception instead (a small file can expand a thousandfold).
    static QByteArray decompressBytes(const QByteArray &container, qint64 maxOutput = -1);

signals:
    // The text the component would show as its caption while it works.
    void progress(const QString &caption);

private:
    class Session;
    QIODevice *m_inStream = nullptr;
    QIODevice *m_outStream = nullptr;
};
