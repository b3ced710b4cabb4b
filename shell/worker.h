#pragma once

#include <functional>

namespace shell {

/// Runs `work` in a worker thread, which must touch no widget, and returns when it is done. Work that lasts
/// longer than a moment does not freeze the windows: this thread keeps them painted and its timers
/// running, while the user's clicks and keys wait until the work is over, as they would if it ran here.
/// An exception from `work` is thrown again here.
void runInWorker(const std::function<void()> &work);

} // namespace shell
