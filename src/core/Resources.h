#pragma once

// The pictures compiled into the program (resources/resources.qrc: the product
// image ":/images/quorvex.png" and the default logo ":/images/logo.bmp").
// They live in a static library, whose resource initialiser the linker drops
// unless someone calls it: call this before the first use of a ":/" path.
namespace appResources {
void ensureLoaded();
} // namespace appResources
