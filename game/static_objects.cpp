// The program's global objects with static storage, defined in one place because their order of
// construction (and so the reverse order of their exit-time destructors) matters: keyboard, mouse,
// value list, camera, board frame, pegs. They live with the game, the lowest layer that sees all their
// types; the layers below declare the ones they use.
#include "game/game.h"

#include "input/input.h"
#include "scene/scene.h"
#include "services/value_list.h"

CKeyboard g_Keyboard;
CMouse g_Mouse;
ValueListNode* g_ValueList = InitValueList();
CCamera g_Camera;
CFrame g_BoardFrame;
CFrame g_Pegs[kPegCount];
