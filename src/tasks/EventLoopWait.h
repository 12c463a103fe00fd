#pragma once

namespace pellorin::tasks {

// True on the application's main thread while a Q(Core)Application exists: there, waits run
// a nested event loop so that the window's events go on being handled.
bool CanWaitInEventLoop();

} // namespace pellorin::tasks
