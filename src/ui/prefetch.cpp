#include "prefetch.h"
#include "artscale.h"

#include <QMutexLocker>

#include <atomic>

namespace ui {

namespace {
std::atomic<PicturePrefetch *> current{nullptr};
}

PicturePrefetch::PicturePrefetch(QStringList paths) : m_waiting(std::move(paths))
{
    PicturePrefetch *none = nullptr;
    if (!current.compare_exchange_strong(none, this)) {
        m_waiting.clear(); // another is at work: this one reads nothing
        return;
    }
    m_thread = std::thread([this, paths = m_waiting] {
        for (const QString &path : paths) {
            {
                const QMutexLocker lock(&m_mutex);
                if (m_stop)
                    return;
            }
            QImage image = readPictureFile(path);
            const QMutexLocker lock(&m_mutex);
            m_done.insert(path, std::move(image));
            m_waiting.removeOne(path);
            m_read.wakeAll();
        }
    });
}

PicturePrefetch::~PicturePrefetch()
{
    {
        // Nobody takes pictures any more: the one being read is the last.
        const QMutexLocker lock(&m_mutex);
        m_stop = true;
        m_waiting.clear();
    }
    if (m_thread.joinable())
        m_thread.join();
    PicturePrefetch *self = this;
    current.compare_exchange_strong(self, nullptr);
}

PicturePrefetch *PicturePrefetch::running()
{
    return current.load();
}

std::optional<QImage> PicturePrefetch::take(const QString &path)
{
    QMutexLocker lock(&m_mutex);
    while (!m_done.contains(path)) {
        if (!m_waiting.contains(path))
            return std::nullopt;
        m_read.wait(&m_mutex);
    }
    return m_done.take(path);
}

} // namespace ui
