#pragma once
// The system's font configuration, read on a thread of its own as the
// program starts. Reading it (some thirty files of XML, and the font cache)
// is the largest single piece of the first window's start-up; the window
// would otherwise do it when its first text is measured, with nothing else
// going on. Done here, it overlaps the making of the application and the
// reading of the settings; the window waits only for what is left of it.

#include <thread>

namespace ui {

class FontWarmup {
public:
    FontWarmup();
    // Waits for the reading to end.
    ~FontWarmup();
    FontWarmup(const FontWarmup &) = delete;
    FontWarmup &operator=(const FontWarmup &) = delete;

    // Waits until the configuration has been read (at once if it has).
    // Called before the first text is measured: the font library would
    // otherwise read it a second time alongside, and throw one away.
    void wait();

private:
    std::thread m_thread;
};

} // namespace ui
