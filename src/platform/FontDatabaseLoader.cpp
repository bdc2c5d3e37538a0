#include "FontDatabaseLoader.h"

#include <QFontDatabase>
#include <QStringList>

#ifdef VORN_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontDatabaseLoader::FontDatabaseLoader() {
    m_thread = std::thread([started = m_started.get_future()]() mutable {
#ifdef VORN_HAVE_FONTCONFIG
        // The default configuration, which every later user of the library shares.
        FcInit();
#endif
        if (started.get())
            QFontDatabase::families();
    });
}

FontDatabaseLoader::~FontDatabaseLoader() {
    wait();
}

void FontDatabaseLoader::applicationStarted() {
    release(true);
}

void FontDatabaseLoader::wait() {
    release(false);
    if (m_thread.joinable())
        m_thread.join();
}

void FontDatabaseLoader::release(bool listFonts) {
    if (m_released)
        return;
    m_released = true;
    m_started.set_value(listFonts);
}
