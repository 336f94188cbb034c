#pragma once

#include "FenkSDK/runtime/Environment.h"

#include <functional>
#include <memory>

namespace fenk {

class DispatchQueue;
class FenkManager;
class ThreadDispatcher;

// A windowed command's SDK and window.
struct WindowSession {
    std::shared_ptr<FenkManager> manager;
    std::shared_ptr<DispatchQueue> mainQueue;
    // Closes the window, which ends the command.
    std::function<void()> quit;
};

// What a windowed command does once its window is up, on the SDK's main queue.
using WindowStart = std::function<void(const WindowSession& session)>;

// Opens a 400x800 window as the host application's, draws the SDK's screens over it, installs `environment`
// (whose dispatcher's main queue the host drives) with that window, and runs `start`. Returns the exit code
// once the window is closed: 0, or 1 (with a line on stderr) without a display or without GTK in this build.
int runInWindow(Environment environment, const std::shared_ptr<ThreadDispatcher>& dispatcher, WindowStart start);

}  // namespace fenk
