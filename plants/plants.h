// All plant generators.
#pragma once

#include "plants/bush.h"
#include "plants/cane.h"
#include "plants/grass.h"
#include "plants/mangrove.h"
#include "plants/palm.h"
#include "plants/radix.h"
#include "plants/tree.h"
#include "plants/tree2.h"
#include "plants/yucca.h"
