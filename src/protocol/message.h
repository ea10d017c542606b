#pragma once
// Building the game's text messages: "CMD_name", fields each introduced by
// "+", and the 0xFF terminator. Layouts differ on whether a "+" precedes the
// terminator, so the caller chooses the ending explicitly.

#include <QByteArray>
#include <QByteArrayView>

namespace wire {

inline constexpr char Terminator = '\xFF';

// The TCP port a hosting copy listens on (tests listen on ephemeral ones).
inline constexpr quint16 GamePort = 7772;

// The protocol version the login carries and the host compares: the
// program's own, set once by the build.
inline constexpr const char *ProtocolVersion = WORDMIRE_VERSION;

class Message {
public:
    explicit Message(QByteArrayView command);

    Message &field(QByteArrayView text);
    Message &field(int number);
    // Appends text as it stands (for remainders that bring their own "+").
    Message &raw(QByteArrayView text);

    // The message ended by the terminator.
    QByteArray end() const;
    // The message ended by "+" and the terminator.
    QByteArray endPlus() const;

private:
    QByteArray m_text;
};

} // namespace wire
