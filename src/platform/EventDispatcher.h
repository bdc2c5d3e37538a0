#pragma once

// Has the application use Qt's own event dispatcher instead of GLib's. GLib's main loop waits
// for timers in whole milliseconds, so a 1 ms Test All step falls up to a millisecond late;
// Qt's own dispatcher waits to the microsecond. Call before the application object is made.
// A QT_NO_GLIB already set in the environment is left as the user set it.
void chooseEventDispatcher();
