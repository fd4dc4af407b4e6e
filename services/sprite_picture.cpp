// Sprite pictures shared by the buttons, the slider and the cursor: a picture whose opaque black is
// transparent, and a control's own sprite.
#include "services/sprite_picture.h"
#include "services/device.h"
#include "services/log.h"
#include "services/safe_release.h"
#include "services/picture_file.h"

namespace {

constexpr D3DCOLOR kColourKey = 0xFF000000; // opaque black becomes transparent

} // namespace

// Making the sprite again replaces the earlier one instead of leaking it.
void CreateSprite(LPD3DXSPRITE* sprite) {
    SafeRelease(*sprite);
    if (FAILED(D3DXCreateSprite(g_pd3dDevice, sprite))) {
        *sprite = nullptr;
        ErrorOut("Impossibile inizializzare la sprite");
    }
}

void LoadSpriteTexture(const char* file, LPDIRECT3DTEXTURE9* texture) {
    SafeRelease(*texture);
    if (FAILED(CheckedCreateTextureFromFileEx(g_pd3dDevice, file, 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT,
                                              D3DX_DEFAULT, D3DX_DEFAULT, kColourKey, nullptr, nullptr,
                                              texture))) {
        *texture = nullptr;
        ErrorOut("Impossibile caricare la texture");
    }
}
