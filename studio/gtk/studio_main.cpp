// Kamishibai Studio's entry point: GTK without GL, then the main window with what the command line
// names (a folder, a manifest or a saver) opened.
#include <gtk/gtk.h>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string>

#include "studio/gtk/main_window.h"

int main(int argc, char** argv) {
  // GDK probes GL when it opens a display and so maps the GL driver into a program that draws
  // with its own raster; the switch stays set, as GDK reads it again when GTK starts.
  setenv("GDK_GL", "disable", 1);
  std::setlocale(LC_ALL, "");
  if (argc > 2 || (argc == 2 && (std::string(argv[1]) == "--help" || argv[1][0] == '-'))) {
    std::cerr << "usage: kamishibai-studio [FOLDER | MANIFEST | SAVER]\n";
    return argc == 2 && std::string(argv[1]) == "--help" ? 0 : 2;
  }
  if (!gtk_init_check(&argc, &argv)) {
    std::cerr << "kamishibai-studio: cannot open the display\n";
    return 1;
  }
  kamishibai::studio::MainWindow window;
  window.show();
  if (argc == 2) window.openOnceShown(argv[1]);
  gtk_main();
  return 0;
}
