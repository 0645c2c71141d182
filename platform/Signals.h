#pragma once

#include <functional>

namespace quillan::platform {

// Turns SIGTERM and SIGHUP (the end of a desktop session, a `kill`) into a
// call of `handler` on the main thread's event loop, so the program can end
// in order: its windows closed, its helper processes ended. Installed once
// per process; a later call replaces the handler.
void onTerminationSignal(std::function<void(int signal)> handler);

} // namespace quillan::platform
