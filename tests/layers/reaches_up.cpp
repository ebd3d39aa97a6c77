// Must not compile: the data layer cannot see the data control above it.
#include "bindings/DataControl.h"
