// Procedural textures: the marble tiles, so an effect may repeat it without seams.
#include "check.h"
#include "procedural.h"

#include <cstdlib>

namespace {

int Grey(uint32_t p) {
    return int(p & 0xFF);
}

} // namespace

TEST_CASE(MarbleTilesWithoutSeams) {
    const Image marble = MarbleTexture(128, 51u);
    const int n = marble.width;
    double seamX = 0, seamY = 0, inside = 0;
    for (int i = 0; i < n; ++i) {
        seamX += std::abs(Grey(marble.At(n - 1, i)) - Grey(marble.At(0, i)));
        seamY += std::abs(Grey(marble.At(i, n - 1)) - Grey(marble.At(i, 0)));
        inside += std::abs(Grey(marble.At(n / 2, i)) - Grey(marble.At(n / 2 + 1, i)));
    }
    // Across the wrap the picture changes no more than between two neighbouring columns.
    CHECK(seamX < 2.0 * inside + n);
    CHECK(seamY < 2.0 * inside + n);
    CHECK(MarbleTexture(128, 51u).pixels == marble.pixels); // deterministic
}
