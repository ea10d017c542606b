// ICE sessions through libnice, in its reliable mode: a byte stream over a
// hole-punched UDP path or a TURN relay, piped to a TCP socket, so the game
// on either end reads and writes it as the TCP connection it always had.
//
// Every session runs on one GLib thread of the module's own (libnice is
// driven by a GMainContext; the window's and the host's event loops are
// Qt's). The handle given out only posts to that thread; its session lives
// on until the thread has taken it down.

#include "icelink.h"

#include <glib-unix.h>
#include <nice/agent.h>

#include <QByteArray>
#include <QString>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace lobby {

namespace {

// What one side may hold for the other before the link counts as stuck:
// the game's own host lets a peer leave this much unsent.
constexpr qsizetype MaxBuffered = 1024 * 1024;
constexpr int ReadChunk = 16 * 1024;

GMainContext *iceContext()
{
    // Started on first use; it runs as long as the program does.
    static GMainContext *const context = [] {
        GMainContext *c = g_main_context_new();
        std::thread([c] {
            g_main_context_push_thread_default(c);
            GMainLoop *loop = g_main_loop_new(c, FALSE);
            g_main_loop_run(loop);
        }).detach();
        return c;
    }();
    return context;
}

void post(std::function<void()> work)
{
    g_main_context_invoke_full(
            iceContext(), G_PRIORITY_DEFAULT,
            [](gpointer data) -> gboolean {
                (*static_cast<std::function<void()> *>(data))();
                return G_SOURCE_REMOVE;
            },
            new std::function<void()>(std::move(work)),
            [](gpointer data) { delete static_cast<std::function<void()> *>(data); });
}

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(IceLink::Setup setup, IceLink::Events events)
        : m_setup(std::move(setup)), m_events(std::move(events)), m_toPeer(m_setup.first)
    { }
    ~Session()
    {
        if (m_setup.socket >= 0)
            ::close(m_setup.socket);
    }

    void start()
    {
        // Regular nomination: every pair is checked before one is chosen,
        // so a punched path wins over the relay even when the relay's
        // check happens to answer first. Consent freshness: a peer that
        // vanishes is noticed within half a minute, not never.
        m_agent = nice_agent_new_full(iceContext(), NICE_COMPATIBILITY_RFC5245,
                NiceAgentOption(NICE_AGENT_OPTION_RELIABLE | NICE_AGENT_OPTION_REGULAR_NOMINATION
                        | NICE_AGENT_OPTION_CONSENT_FRESHNESS));
        if (!m_agent)
            return end(QStringLiteral("ICE is not available"));
        g_object_set(
                m_agent, "controlling-mode", gboolean(m_setup.controlling), "upnp", FALSE, "ice-tcp", FALSE, nullptr);
        if (!m_setup.stunHost.isEmpty())
            g_object_set(m_agent, "stun-server", m_setup.stunHost.constData(), "stun-server-port",
                    guint(m_setup.stunPort), nullptr);
        m_stream = nice_agent_add_stream(m_agent, 1);
        nice_agent_set_stream_name(m_agent, m_stream, "application");
        if (!m_setup.turnHost.isEmpty())
            nice_agent_set_relay_info(m_agent, m_stream, 1, m_setup.turnHost.constData(), m_setup.turnPort,
                    m_setup.turnUser.constData(), m_setup.turnPassword.constData(), NICE_RELAY_TYPE_TURN_UDP);
        g_signal_connect(m_agent, "candidate-gathering-done",
                G_CALLBACK(+[](NiceAgent *, guint, gpointer self) { static_cast<Session *>(self)->gathered(); }), this);
        g_signal_connect(m_agent, "component-state-changed",
                G_CALLBACK(+[](NiceAgent *, guint, guint, guint state, gpointer self) {
                    static_cast<Session *>(self)->stateChanged(state);
                }),
                this);
        g_signal_connect(m_agent, "reliable-transport-writable",
                G_CALLBACK(+[](NiceAgent *, guint, guint, gpointer self) { static_cast<Session *>(self)->toPeer(); }),
                this);
        nice_agent_attach_recv(
                m_agent, m_stream, 1, iceContext(),
                [](NiceAgent *, guint, guint, guint len, gchar *buf, gpointer self) {
                    static_cast<Session *>(self)->fromPeer(buf, len);
                },
                this);
        if (!nice_agent_gather_candidates(m_agent, m_stream))
            end(QStringLiteral("no network to reach the other player through"));
    }

    void setRemote(const QByteArray &description)
    {
        if (m_done || !m_agent)
            return;
        if (nice_agent_parse_remote_sdp(m_agent, description.constData()) <= 0)
            end(QStringLiteral("the other player's connection details do not read"));
    }

    // From the handle's thread, as it goes: nothing more is told.
    void forget()
    {
        const std::lock_guard lock(m_eventsMutex);
        m_events = {};
    }
    // Then everything is taken down, on the session's thread.
    void drop() { end({}); }

private:
    void gathered()
    {
        if (m_done)
            return;
        gchar *sdp = nice_agent_generate_local_sdp(m_agent);
        tell([&](IceLink::Events &e) {
            if (e.described)
                e.described(QByteArray(sdp));
        });
        g_free(sdp);
    }

    void stateChanged(guint state)
    {
        if (m_done)
            return;
        if (state == NICE_COMPONENT_STATE_FAILED)
            return end(m_piping ? QStringLiteral("the connection was lost")
                                : QStringLiteral("no path to the other player was found"));
        if (state != NICE_COMPONENT_STATE_CONNECTED && state != NICE_COMPONENT_STATE_READY)
            return;
        if (!m_piping) {
            if (m_setup.socket < 0 && !connectPipe())
                return end(QStringLiteral("the game does not answer on this computer"));
            const int flags = fcntl(m_setup.socket, F_GETFL);
            fcntl(m_setup.socket, F_SETFL, flags | O_NONBLOCK);
            m_piping = true;
            toPeer();
        }
        if (m_told)
            return;
        m_told = true;
        IceLink::Path path = IceLink::Path::Direct;
        NiceCandidate *local = nullptr;
        NiceCandidate *remote = nullptr;
        if (nice_agent_get_selected_pair(m_agent, m_stream, 1, &local, &remote)
                && ((local && local->type == NICE_CANDIDATE_TYPE_RELAYED)
                        || (remote && remote->type == NICE_CANDIDATE_TYPE_RELAYED)))
            path = IceLink::Path::Relayed;
        tell([path](IceLink::Events &e) {
            if (e.ready)
                e.ready(path);
        });
    }

    bool connectPipe()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(m_setup.pipePort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
            ::close(fd);
            return false;
        }
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        m_setup.socket = fd;
        return true;
    }

    // The socket is read while the peer takes what it gives, and watched
    // for room while something waits to be written to it.
    void watch()
    {
        if (m_watch) {
            g_source_destroy(m_watch);
            g_source_unref(m_watch);
            m_watch = nullptr;
        }
        if (m_done)
            return;
        const int condition = (m_toPeer.isEmpty() ? G_IO_IN : 0) | (m_toSocket.isEmpty() ? 0 : G_IO_OUT);
        if (!condition)
            return;
        m_watch = g_unix_fd_source_new(m_setup.socket, GIOCondition(condition | G_IO_HUP | G_IO_ERR));
        g_source_set_callback(m_watch, G_SOURCE_FUNC(+[](int, GIOCondition c, gpointer self) -> gboolean {
            static_cast<Session *>(self)->socketReady(c);
            return G_SOURCE_CONTINUE;
        }),
                this, nullptr);
        g_source_attach(m_watch, iceContext());
    }

    void socketReady(GIOCondition condition)
    {
        if (condition & G_IO_OUT)
            toSocket({});
        if (m_done || !(condition & (G_IO_IN | G_IO_HUP | G_IO_ERR)) || !m_toPeer.isEmpty())
            return;
        char buf[ReadChunk];
        const ssize_t n = ::read(m_setup.socket, buf, sizeof buf);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (n <= 0)
            return end(QStringLiteral("the game closed the connection"));
        m_toPeer.append(buf, n);
        toPeer();
    }

    void toPeer()
    {
        while (!m_done && !m_toPeer.isEmpty()) {
            const gint sent = nice_agent_send(m_agent, m_stream, 1, guint(m_toPeer.size()), m_toPeer.constData());
            if (sent <= 0)
                break; // on reliable-transport-writable again
            m_toPeer.remove(0, sent);
        }
        if (m_piping)
            watch();
    }

    void fromPeer(const char *data, guint len)
    {
        if (m_done)
            return;
        if (len == 0)
            return end(QStringLiteral("the other player closed the connection"));
        toSocket(QByteArrayView(data, len));
    }

    void toSocket(QByteArrayView more)
    {
        if (!m_piping)
            return end(QStringLiteral("the other player sent before the connection was ready"));
        m_toSocket.append(more);
        while (!m_toSocket.isEmpty()) {
            const ssize_t n = ::send(m_setup.socket, m_toSocket.constData(), m_toSocket.size(), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN)
                return end(QStringLiteral("the game closed the connection"));
            if (n <= 0)
                break;
            m_toSocket.remove(0, n);
        }
        if (m_toSocket.size() > MaxBuffered)
            return end(QStringLiteral("the game stopped reading"));
        watch();
    }

    template <class F> void tell(F f)
    {
        const std::lock_guard lock(m_eventsMutex);
        f(m_events);
    }

    // Told once; the agent goes in a pass of its own, never from inside
    // one of its own signals, and gives its relay back on the way out.
    void end(const QString &why)
    {
        if (m_done)
            return;
        m_done = true;
        if (!why.isEmpty())
            tell([&](IceLink::Events &e) {
                if (e.ended)
                    e.ended(why);
            });
        watch();
        if (m_setup.socket >= 0) {
            ::close(m_setup.socket);
            m_setup.socket = -1;
        }
        if (!m_agent)
            return;
        NiceAgent *agent = std::exchange(m_agent, nullptr);
        auto self = shared_from_this();
        post([self, agent, stream = m_stream] {
            g_signal_handlers_disconnect_by_data(agent, self.get());
            nice_agent_attach_recv(agent, stream, 1, iceContext(), nullptr, nullptr);
            nice_agent_close_async(
                    agent, [](GObject *a, GAsyncResult *, gpointer) { g_object_unref(a); }, nullptr);
        });
    }

    IceLink::Setup m_setup;
    std::mutex m_eventsMutex;
    IceLink::Events m_events;
    NiceAgent *m_agent = nullptr;
    guint m_stream = 0;
    GSource *m_watch = nullptr;
    QByteArray m_toPeer;
    QByteArray m_toSocket;
    bool m_piping = false;
    bool m_told = false; // the path taken
    bool m_done = false;
};

class NiceLink : public IceLink {
public:
    NiceLink(const Setup &setup, Events events) : m_session(std::make_shared<Session>(setup, std::move(events)))
    {
        post([s = m_session] { s->start(); });
    }
    ~NiceLink() override
    {
        m_session->forget();
        post([s = m_session] { s->drop(); });
    }
    bool setRemote(const QByteArray &description) override
    {
        if (description.isEmpty() || description.size() > MaxDescription || description.contains('\0'))
            return false;
        post([s = m_session, description] { s->setRemote(description); });
        return true;
    }

private:
    std::shared_ptr<Session> m_session;
};

} // namespace

IceLink *makeIceLink(const IceLink::Setup &setup, IceLink::Events events)
{
    return new NiceLink(setup, std::move(events));
}

} // namespace lobby
