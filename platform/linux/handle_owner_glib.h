// Kamishibai: ownership of GLib objects and errors.
#pragma once

#include <glib-object.h>

#include <memory>

namespace kamishibai {

struct GObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
// A GObject (a pixbuf, a loader, a cursor, ...) that is unreferenced when the owner goes.
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

}  // namespace kamishibai
