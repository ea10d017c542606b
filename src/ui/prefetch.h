#pragma once
// Pictures the first window shows, read on a thread of their own while the
// window's widgets are being made: decoding them, and loading the JPEG
// reader's libraries, no longer holds up the first paint. readPicture takes a
// picture from here, waiting for it when it is still being read; each is
// handed out once, so a later read goes to the file as before.

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QStringList>
#include <QWaitCondition>

#include <optional>
#include <thread>

namespace ui {

class PicturePrefetch {
public:
    // Reads the pictures in this order, the first needed first.
    explicit PicturePrefetch(QStringList paths);
    // Waits for the picture being read, reads no more; what was never taken
    // is dropped.
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch &) = delete;
    PicturePrefetch &operator=(const PicturePrefetch &) = delete;

    // The one reading now, if any (only one at a time).
    static PicturePrefetch *running();

    // The picture, once read, when it was asked for here and not taken yet.
    std::optional<QImage> take(const QString &path);

private:
    QMutex m_mutex;
    QWaitCondition m_read;
    QStringList m_waiting; // asked for, not read yet
    QHash<QString, QImage> m_done; // read, not taken yet
    bool m_stop = false; // the owner is going: read no further
    std::thread m_thread;
};

} // namespace ui
