// The garden demo.
#include "app/entry.h"

int main() { return GardenMain(); }
