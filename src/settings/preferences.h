#pragma once
// The user's preferences as one model: read from the settings file once, at
// start-up, before any window shows; every change goes through a setter that
// saves at once and tells whoever draws it. Nothing else opens the file.
//
// A value is written back only when it is held: every key once the file has
// been read, and otherwise (a file that does not read as ini) only the keys
// the user has since changed, so a default never replaces what a user wrote.

#include "settings.h"

#include <QObject>
#include <QRect>
#include <QSet>
#include <QStringList>

class Preferences : public QObject {
    Q_OBJECT
public:
    static constexpr int PhraseCount = 9;
    // The phrase buttons' own texts, for phrases the file leaves empty.
    static const std::array<const char *, PhraseCount> StartPhrases;
    static inline const QRect DefaultPlacement{3, 3, 790, 580};

    // Reads the settings file at the path (default: beside the program).
    explicit Preferences(QString path = QString(), QObject *parent = nullptr);

    const QString &path() const { return m_path; }
    const settings::Values &values() const { return m_values; }
    // Whether the file could be read (a missing file reads as all defaults).
    bool wasRead() const { return m_read; }

    int textSize() const { return m_values.textsize; }
    quint32 textColour() const; // 0x00BBGGRR; black when the text does not read
    QString phrase(int k) const { return m_phrases.value(k - 1); }
    QStringList phrases() const { return m_phrases; }
    bool playSounds() const { return m_values.playsounds; }
    bool chatterSounds() const { return m_values.chattersounds; }
    bool postWords() const { return m_values.postwords; }
    int turnSound() const { return m_values.turnsound; }
    bool showBestWord() const { return m_values.showbestword; }
    int klotStrength() const { return m_values.klotstrength; } // 0 Gentle, 1 Normal, 2 Strong
    QString tiles() const { return QString::fromLatin1(m_values.tiles); }
    QRect placement() const { return {m_values.left, m_values.top, m_values.width, m_values.height}; }

    void setTextSize(int size);
    void setTextColour(quint32 bgr);
    void setPhrases(const QStringList &texts);
    void setPlaySounds(bool on);
    void setChatterSounds(bool on);
    void setPostWords(bool on);
    void setTurnSound(int tag);
    void setShowBestWord(bool on);
    void setKlotStrength(int strength);
    void setLobbyServer(const QByteArray &server);
    void setOpenRouterPort(bool on);
    void setTiles(const QString &name);
    // The options dialog's last values.
    void setGameOptions(int playto, int turntime, int shuffles);
    // The window's placement at close; written only when the window was
    // placed from a read file (or the file has been read since).
    void setPlacement(const QRect &placement);
    // Where the window is now, written with the next change (not saved by
    // itself: a move alone is saved at close).
    void notePlacement(const QRect &placement);
    // The name (and address, for a join) last used from the lobby.
    void setLobby(const QByteArray &name, const std::optional<QByteArray> &address);

signals:
    // One signal a concern; each carries nothing, the model is read back.
    void textChanged(); // size or colour
    void phrasesChanged();
    void soundsChanged(); // play sounds, chatter sounds, turn sound
    void postWordsChanged();
    void tilesChanged();
    void bestWordChanged();
    void klotStrengthChanged();

private:
    template <class Edit> void change(std::initializer_list<const char *> keys, Edit edit);
    void save(const std::function<void(IniFile &)> &edit);

    QString m_path;
    settings::Values m_values;
    QStringList m_phrases;
    bool m_read = false;
    QSet<QByteArray> m_held; // keys changed since a failed read
};
