#pragma once

// The event loop the tester runs on, where the systems differ.

// Chooses the event loop before the application object is made; call it first thing.
void chooseEventLoop();

// Whether file dialogs may be the desktop's own. A desktop dialog may need an event loop
// other than the one chosen above.
bool nativeFileDialogs();
