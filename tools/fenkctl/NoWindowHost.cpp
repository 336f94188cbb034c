#include "tools/fenkctl/WindowHost.h"

#include <iostream>

namespace fenk {

// This build has no GTK: there is no window to open.
int runInWindow(Environment, const std::shared_ptr<ThreadDispatcher>&, WindowStart) {
    std::cerr << "fenkctl: this build has no GTK interface (install GTK 4 and WebKitGTK 6.0 and build again)\n";
    return 1;
}

}  // namespace fenk
