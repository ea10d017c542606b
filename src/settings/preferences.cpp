#include "preferences.h"

#include "appfiles.h"
#include "colourtext.h"

const std::array<const char *, Preferences::PhraseCount> Preferences::StartPhrases = {"Way To Go!", "Good One!",
        "Nice Try!", "Excellent!", "Brilliant!", "Wow, WTG!", "Thanks!", "Way To Go Teamie!", "Good Game Everyone!"};

Preferences::Preferences(QString path, QObject *parent)
    : QObject(parent), m_path(path.isEmpty() ? settings::besideExecutable(settings::FileName) : std::move(path))
{
    SettingsFile file(m_path);
    m_values = settings::read(file.read());
    m_read = !file.broken();
    for (int k = 1; k <= PhraseCount; ++k) {
        const QByteArray &stored = m_values.phrases[size_t(k)];
        m_phrases << QString::fromLatin1(stored.isEmpty() ? QByteArray(StartPhrases[size_t(k - 1)]) : stored);
    }
}

quint32 Preferences::textColour() const
{
    return wire::readColour(m_values.textcolor).value_or(0x000000);
}

void Preferences::save(const std::function<void(IniFile &)> &edit)
{
    SettingsFile(m_path).update(edit);
}

template <class Edit> void Preferences::change(std::initializer_list<const char *> keys, Edit edit)
{
    edit(m_values);
    for (const char *key : keys)
        m_held.insert(QByteArray(key).toLower());
    save([this](IniFile &ini) {
        settings::write(ini, m_values,
                [this](QByteArrayView key) { return m_read || m_held.contains(key.toByteArray().toLower()); });
    });
}

void Preferences::setTextSize(int size)
{
    change({"Textsize"}, [size](settings::Values &v) { v.textsize = size; });
    emit textChanged();
}

void Preferences::setTextColour(quint32 bgr)
{
    change({"Textcolor"}, [bgr](settings::Values &v) { v.textcolor = wire::colourToText(bgr); });
    emit textChanged();
}

void Preferences::setPhrases(const QStringList &texts)
{
    std::array<QByteArray, 10> stored{};
    m_phrases.clear();
    for (int k = 1; k <= PhraseCount; ++k) {
        m_phrases << texts.value(k - 1);
        stored[size_t(k)] = m_phrases.back().toLatin1();
    }
    m_values.phrases = stored;
    save([&stored](IniFile &ini) { settings::writePhrases(ini, stored); });
    emit phrasesChanged();
}

void Preferences::setPlaySounds(bool on)
{
    change({"Playsounds"}, [on](settings::Values &v) { v.playsounds = on; });
    emit soundsChanged();
}

void Preferences::setChatterSounds(bool on)
{
    change({"ChatterSounds"}, [on](settings::Values &v) { v.chattersounds = on; });
    emit soundsChanged();
}

void Preferences::setPostWords(bool on)
{
    change({"Postwordsinchatbox"}, [on](settings::Values &v) { v.postwords = on; });
    emit postWordsChanged();
}

void Preferences::setTurnSound(int tag)
{
    change({"Turnsound"}, [tag](settings::Values &v) { v.turnsound = tag == 1 || tag == 2 ? tag : 0; });
    emit soundsChanged();
}

void Preferences::setShowBestWord(bool on)
{
    change({"Showbestword"}, [on](settings::Values &v) { v.showbestword = on; });
    emit bestWordChanged();
}

void Preferences::setLobbyServer(const QByteArray &server)
{
    change({"Lobbyserver"}, [&server](settings::Values &v) { v.lobbyserver = server.trimmed(); });
}

void Preferences::setOpenRouterPort(bool on)
{
    change({"Openrouterport"}, [on](settings::Values &v) { v.openrouterport = on; });
}

void Preferences::setKlotStrength(int strength)
{
    change({"Klotstrength"}, [strength](settings::Values &v) { v.klotstrength = qBound(0, strength, 2); });
    emit klotStrengthChanged();
}

void Preferences::setTiles(const QString &name)
{
    change({"Tiles"},
            [&name](settings::Values &v) { v.tiles = name.isEmpty() ? QByteArray("classic") : name.toLatin1(); });
    emit tilesChanged();
}

void Preferences::setGameOptions(int playto, int turntime, int shuffles)
{
    change({"Playtoscore", "Creationtime", "Shuffles"}, [=](settings::Values &v) {
        v.playto = playto;
        v.creationtime = turntime;
        v.shuffles = shuffles;
    });
}

void Preferences::setPlacement(const QRect &r)
{
    if (!m_read)
        return;
    change({"Top", "Left", "Width", "Height"}, [&r](settings::Values &v) {
        v.left = r.x();
        v.top = r.y();
        v.width = r.width();
        v.height = r.height();
    });
}

void Preferences::notePlacement(const QRect &r)
{
    if (!m_read)
        return;
    m_values.left = r.x();
    m_values.top = r.y();
    m_values.width = r.width();
    m_values.height = r.height();
}

void Preferences::setLobby(const QByteArray &name, const std::optional<QByteArray> &address)
{
    m_values.lobbyname = name;
    if (address)
        m_values.lobbyaddress = *address;
    save([&](IniFile &ini) { settings::writeLobby(ini, name, address); });
}
