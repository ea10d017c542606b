#include "tallyfile.h"

#include "tlzrw1.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tally {

namespace {
bool &failNext()
{
    static bool f = false;
    return f;
}

QString keepAside(const QString &path)
{
    QString aside = path + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".bad%1").arg(n);
    return QFile::rename(path, aside) ? aside : QString();
}

// A tally is a few kilobytes; a file far larger is not one of ours, nor is
// one that unpacks to more than the largest tally could be.
constexpr qint64 MaxFile = 16 << 20;
constexpr qint64 MaxText = 4 << 20;
} // namespace

void failNextSave()
{
    failNext() = true;
}

Loaded load(const QString &path)
{
    Loaded out;
    const QFileInfo info(path);
    if (!info.exists())
        return out;
    try {
        QFile f(path);
        if (!info.isFile() || info.size() > MaxFile || !f.open(QIODevice::ReadOnly))
            throw ELzrw1Exception(QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") + path);
        const auto model = TallyModel::fromText(Tlzrw1::decompressBytes(f.readAll(), MaxText));
        if (!model)
            throw ELzrw1Exception(path + QStringLiteral(" : the tally in this file could not be read to the end !"));
        out.model = *model;
    } catch (const ELzrw1Exception &e) {
        out.error = e.message();
        // Kept for the user, and out of the way of the next save.
        if (info.isFile())
            out.keptAs = keepAside(path);
    }
    return out;
}

bool save(const QString &path, const TallyModel &model, QString *error)
{
    try {
        const QByteArray packed = Tlzrw1::compressBytes(model.toText(), TCompressMode::Fast);
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(packed) != packed.size())
            throw ELzrw1Exception(QStringLiteral("Lzrw1 : Error writing to output file : ") + path);
        if (failNext()) {
            failNext() = false;
            out.cancelWriting();
            out.commit();
            throw ELzrw1Exception(QStringLiteral("Lzrw1 : Error writing to output file : ") + path);
        }
        if (!out.commit())
            throw ELzrw1Exception(QStringLiteral("Lzrw1 : Error writing to output file : ") + path);
    } catch (const ELzrw1Exception &e) {
        if (error)
            *error = e.message();
        return false;
    }
    return true;
}

} // namespace tally
