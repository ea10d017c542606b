#include "framer.h"
#include "message.h"

namespace wire {

bool Framer::feed(QByteArrayView bytes, QList<QByteArray> &out)
{
    m_pending.append(bytes);
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = m_pending.indexOf(Terminator, start);
        if (end < 0)
            break;
        out.append(m_pending.mid(start, end - start));
        start = end + 1;
    }
    m_pending.remove(0, start);
    if (m_maxPending >= 0 && m_pending.size() > m_maxPending) {
        m_pending.clear();
        return false;
    }
    return true;
}

} // namespace wire
