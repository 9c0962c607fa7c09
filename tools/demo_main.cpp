// Kamishibai: kamishibai-demo FOLDER: writes the demo show's pictures and manifest.
#include <iostream>

#include "tools/demo_pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kamishibai-demo FOLDER\n";
    return 2;
  }
  const std::string problem = kamishibai::writeDemoShow(argv[1]);
  if (problem.empty()) return 0;
  std::cerr << "kamishibai-demo: " << problem << "\n";
  return 1;
}
