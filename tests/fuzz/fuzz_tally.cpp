// Feeds arbitrary text to the tally's reader (the text inside the compressed
// file). A text it takes writes back to a text that reads the same, and the
// tally's operations never step outside the grid.

#include "tallymodel.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    auto model = TallyModel::fromText(text);
    if (!model)
        return 0;
    const QByteArray written = model->toText();
    const auto again = TallyModel::fromText(written);
    if (!again || again->toText() != written)
        __builtin_trap();
    // A game as the window records it, against whoever the file names.
    model->loadchecklist(model->tallied() + QStringList{QStringLiteral("Klot")});
    model->addOpponent(QStringLiteral("Klot"));
    model->anotherword();
    model->addtomineset(42, QStringLiteral("CAT"));
    model->addgame(QStringLiteral("Klot"));
    model->addgame(QStringLiteral("addtomine"));
    if (model->rowCount() > 1)
        model->moverow(model->rowCount() - 1);
    model->reset();
    if (!TallyModel::fromText(model->toText()))
        __builtin_trap();
    return 0;
}
