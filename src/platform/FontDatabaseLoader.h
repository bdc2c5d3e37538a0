#pragma once

#include <future>
#include <thread>

// Fills the font database on a thread of its own while the application starts up. The first
// use of a font reads the system's font configuration (every file of it and the cache of
// every font directory) and lists every installed font: together the larger part of what the
// window's first font costs. The configuration is read from the start, while the application
// connects to the window system; the fonts are listed once the application object exists,
// while the main thread sets up the rest. Qt's font database may be used from any thread.
class FontDatabaseLoader {
public:
    FontDatabaseLoader();
    ~FontDatabaseLoader();
    FontDatabaseLoader(const FontDatabaseLoader &) = delete;
    FontDatabaseLoader &operator=(const FontDatabaseLoader &) = delete;

    // Call once the application object is made: the fonts can be listed from then on.
    void applicationStarted();
    // Returns once the loading is done (without applicationStarted() before: once the
    // configuration is read). Call before the first font is used, which would otherwise read
    // the configuration a second time alongside.
    void wait();

private:
    void release(bool listFonts);

    std::promise<bool> m_started;
    bool m_released = false;
    std::thread m_thread;
};
