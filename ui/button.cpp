// Picture buttons: up, over and down pictures drawn by the button's own sprite, and the hit test
// that sets isOver and isPressed from the mouse each time the button is drawn. Clicks are the
// screens' business.
#include "services/device.h"
#include "services/safe_release.h"
#include "services/sprite_picture.h"
#include "ui/button.h"

#include "input/input.h"
#include "ui/button_layout.h"
#include "ui/mouse_buttons.h"

#include <new>

namespace {

constexpr float kHitTop = static_cast<float>(layout::kButtonHitTop);
constexpr float kHitBottom = static_cast<float>(layout::kButtonHitBottom);
constexpr int kButtonFontPoints = 8;

// Whether the cursor stands in the button's hit box. The right edge is deliberately unscaled, and
// scaleY plays no part: the box the screens' layouts were made for.
bool IsCursorInside(const CButton& button) {
    const float mx = static_cast<float>(g_Mouse.x);
    const float my = static_cast<float>(g_Mouse.y);
    const float w = static_cast<float>(button.overDesc.Width);
    const float h = static_cast<float>(button.overDesc.Height);
    return mx > button.x * button.scaleX && mx < button.x + w && my > button.y * kHitTop &&
           my < (button.y + h) * kHitBottom;
}

} // namespace

void CButton::LoadOverImage(const char* file) {
    LoadSpriteTexture(file, &pOverTexture);
    CreateSprite(&pSprite);
    if (pOverTexture) {
        pOverTexture->GetLevelDesc(0, &overDesc);
    }
}

void CButton::LoadUpImage(const char* file) {
    LoadSpriteTexture(file, &pUpTexture);
}

void CButton::LoadDownImage(const char* file) {
    LoadSpriteTexture(file, &pDownTexture);
}

void CButton::LoadImages(const char* file) {
    LoadSpriteTexture(file, &pOverTexture);
    if (pOverTexture) {
        pOverTexture->GetLevelDesc(0, &overDesc);
    }
    LoadSpriteTexture(file, &pUpTexture);
    LoadSpriteTexture(file, &pDownTexture);
    CreateSprite(&pSprite);
}

CButton* CButton::AllocSubButtons(unsigned count) {
    pSubButtons = new (std::nothrow) CButton[count];
    return pSubButtons;
}

void CButton::Init(float xPos, float yPos) {
    x = xPos;
    y = yPos;
    scaleX = 1.0f;
    scaleY = 1.0f;
    lastClickTime = 0;
    isOver = false;
    isPressed = false;
}

void CButton::InitWithFont(float xPos, float yPos, const char* face) {
    scaleX = 1.0f;
    scaleY = 1.0f;
    lastClickTime = 0;
    fontPoints = kButtonFontPoints;
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    D3DXCreateFontA(g_pd3dDevice, -MulDiv(kButtonFontPoints, dotsPerInch, 72), 0, FW_BOLD, 0, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                    face, &pFont);
    x = xPos;
    y = yPos;
    isOver = false;
    isPressed = false;
}

void CButton::Release() {
    SafeRelease(pFont);
    SafeRelease(pOverTexture);
}

void CButton::UpdateState() {
    const bool inside = IsCursorInside(*this);
    const MouseButtons buttons = ReadMouseButtons();
    if (inside && !buttons.anyDown) {
        isOver = true;
        isPressed = false;
    } else if (inside && buttons.press) {
        isOver = true;
        isPressed = true;
    } else {
        isOver = false;
        isPressed = false;
    }
}

bool CButton::IsPressedNow() const {
    return IsCursorInside(*this) && ReadMouseButtons().press;
}

void CButton::Render() {
    UpdateState();
    if (!pSprite) {
        return;
    }
    D3DXMATRIX transform;
    D3DXMatrixScaling(&transform, scaleX, scaleY, 1.0f);
    pSprite->SetTransform(&transform);
    pSprite->Begin(D3DXSPRITE_ALPHABLEND);
    LPDIRECT3DTEXTURE9 picture = !isOver ? pUpTexture : (isPressed ? pDownTexture : pOverTexture);
    if (picture) {
        const D3DXVECTOR3 position(x, y, 0.0f);
        pSprite->Draw(picture, nullptr, nullptr, &position, 0xFFFFFFFF);
    }
    pSprite->End();
}

void CButton::RenderWithText(const char* text) {
    Render();
    if (!pFont) {
        return;
    }
    const int w = static_cast<int>(overDesc.Width / 20);
    const int h = static_cast<int>(overDesc.Height / 10);
    RECT rect;
    SetRect(&rect, static_cast<int>((x + w) * scaleX), static_cast<int>((y + h) * scaleY), 0, 0);
    pFont->DrawTextA(nullptr, text, -1, &rect, DT_NOCLIP, 0xFF000000);
}
