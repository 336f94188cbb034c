#pragma once

#include "adapters/linux/ThreadDispatcher.h"

#include <glib.h>

namespace fenk {

// Runs a host-driven ThreadDispatcher's main queue inside GLib's main loop (the default main context): its
// tasks run whenever they wait, on the loop's thread, for as long as this lives.
class GtkMainQueue {
public:
    explicit GtkMainQueue(ThreadDispatcher& dispatcher);
    ~GtkMainQueue();
    GtkMainQueue(const GtkMainQueue&) = delete;
    GtkMainQueue& operator=(const GtkMainQueue&) = delete;

private:
    static gboolean onReadable(gint fd, GIOCondition condition, gpointer dispatcher);

    guint source_;
};

}  // namespace fenk
