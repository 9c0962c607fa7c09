// Kamishibai Studio: a drawing area that shows a surface scaled into it, whole and centred, on
// the surface's back colour.
#pragma once

#include <gtk/gtk.h>

#include "raster/raster.h"

namespace kamishibai::studio {

// The area; it draws the surface set with showSurface, which must stay alive until another is
// set (nullptr for none).
GtkWidget* makeSurfaceView();
void showSurface(GtkWidget* view, const Surface* surface);

}  // namespace kamishibai::studio
