// Sprite pictures shared by the buttons, the slider and the cursor.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

// Loads a sprite picture whose opaque black is transparent; a failure (a spoiled picture included) is
// reported on the debugger and leaves *texture null.
void LoadSpriteTexture(const char* file, LPDIRECT3DTEXTURE9* texture);
// Makes a control's own sprite in place of an earlier one; a failure is reported on the debugger.
void CreateSprite(LPD3DXSPRITE* sprite);
