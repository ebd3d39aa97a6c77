// Must not compile: one feature folder cannot see another.
#include "idcard/CardWidget.h"
