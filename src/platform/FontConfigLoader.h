#pragma once

#include <thread>

// Loads the system's font configuration on a thread of its own. Reading it (every file of the
// configuration and the cache of every font directory) is the larger part of what the first
// use of a font costs, and needs nothing of Qt: started before the application connects to
// the window system, it is done by the time the window asks for its first font, instead of
// holding that up. Where the system has no such configuration this does nothing.
class FontConfigLoader {
public:
    FontConfigLoader();
    ~FontConfigLoader();
    FontConfigLoader(const FontConfigLoader &) = delete;
    FontConfigLoader &operator=(const FontConfigLoader &) = delete;

    // Returns once the configuration is loaded. Call before the first font is used, so that
    // the two never load it at once.
    void wait();

private:
    std::thread m_thread;
};
