#include "fontwarmup.h"

#include <fontconfig/fontconfig.h>

namespace ui {

// FcInit makes the configuration every later call of the library uses; a
// call that finds it made returns at once. A failure here only means the
// font library tries again, as it would have, when Qt first asks.
FontWarmup::FontWarmup() : m_thread([] { FcInit(); })
{ }

FontWarmup::~FontWarmup()
{
    wait();
}

void FontWarmup::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace ui
