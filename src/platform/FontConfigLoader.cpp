#include "FontConfigLoader.h"

#ifdef VORN_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontConfigLoader::FontConfigLoader() {
#ifdef VORN_HAVE_FONTCONFIG
    // Loads the default configuration, which every later user of the library shares.
    m_thread = std::thread([] { FcInit(); });
#endif
}

FontConfigLoader::~FontConfigLoader() {
    wait();
}

void FontConfigLoader::wait() {
    if (m_thread.joinable())
        m_thread.join();
}
