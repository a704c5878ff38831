// The garden demo.
#include "app/entry.h"
#include "app/hugepages.h"

int main(int /*argc*/, char** argv) {
  RestartWithHugePages(argv);
  return GardenMain();
}
