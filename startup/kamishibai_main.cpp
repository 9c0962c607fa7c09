// Kamishibai: the player: reads the package from its own file.
#include "platform/executable_path.h"
#include "startup/package.h"
#include "startup/paths.h"

int main() {
  const kamishibai::PackageRecord package = kamishibai::readPackage(
      kamishibai::programPathsFor(kamishibai::runningExecutablePath()).ownFile);
  return 0;
}
