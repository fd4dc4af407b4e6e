// The game's static objects: the board and peg frames as static initialisation leaves them.
#include "harness.h"

#include "game/game.h"
#include "scene/scene.h"

TEST(Frame, GlobalFramesStartHiddenAtTheOriginWithNoLinks) {
    for (const CFrame* f : {&g_BoardFrame, &g_Pegs[0], &g_Pegs[kPegCount - 1]}) {
        EXPECT_EQ(f->visible, 0);
        EXPECT_EQ(f->colourIndex, 0);
        EXPECT_EQ(f->position, D3DXVECTOR3(0, 0, 0));
        EXPECT_EQ(f->world._11, 1.0f);
        EXPECT_EQ(f->pFirstMeshContainer, nullptr);
    }
}
