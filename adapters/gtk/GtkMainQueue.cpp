#include "adapters/gtk/GtkMainQueue.h"

#include <glib-unix.h>

namespace fenk {

GtkMainQueue::GtkMainQueue(ThreadDispatcher& dispatcher)
    : source_(g_unix_fd_add(dispatcher.pollFd(), G_IO_IN, &onReadable, &dispatcher)) {}

GtkMainQueue::~GtkMainQueue() { g_source_remove(source_); }

gboolean GtkMainQueue::onReadable(gint, GIOCondition, gpointer dispatcher) {
    static_cast<ThreadDispatcher*>(dispatcher)->drain();
    return G_SOURCE_CONTINUE;
}

}  // namespace fenk
