// The slider: a track picture and a knob button that the player drags with the mouse to set a value
// from 0 to a maximum. Like the buttons it tests the mouse while it is drawn.
#include "services/file_path.h"
#include "services/game_folders.h"
#include "services/safe_release.h"
#include "services/sprite_picture.h"
#include "ui/asset_files.h"
#include "ui/slider.h"

#include "input/input.h"
#include "ui/mouse_buttons.h"

constexpr auto kTrackPath = JoinPath(game_folders::kSlider, asset_files::kSliderTrack);
constexpr auto kKnobPath = JoinPath(game_folders::kSlider, asset_files::kSliderKnob);
const char* const g_szSliderTrack = kTrackPath.data();
const char* const g_szSliderKnob = kKnobPath.data();

void CSlider::Init(float xPos, float yPos, const char* trackFile, const char* knobFile, float initial,
                   float max) {
    x = xPos;
    y = yPos;
    initialValue = initial;
    maxValue = max;
    scaleX = 1.0f;
    scaleY = 1.0f;
    isOver = false;
    isPressed = false;

    LoadSpriteTexture(trackFile, &pTrackTexture);
    CreateSprite(&pSprite);
    if (pTrackTexture) {
        pTrackTexture->GetLevelDesc(0, &trackDesc);
    }

    knob.Init(x, y);
    knob.LoadImages(knobFile);
    // The knob starts centred on the track's left end, half its height below the track's top.
    knob.x = x - static_cast<float>(knob.overDesc.Width / 2);
    knob.y = y + static_cast<float>(knob.overDesc.Height / 2);

    value = initialValue;
}

void CSlider::Update() {
    const float mx = static_cast<float>(g_Mouse.x);
    const float my = static_cast<float>(g_Mouse.y);
    const float w = static_cast<float>(trackDesc.Width);
    const float h = static_cast<float>(trackDesc.Height);
    const float left = x * scaleX;
    const float right = (x + w) * scaleX;
    const float top = y * scaleY;
    const float bottom = (y + h) * scaleY;

    const MouseButtons buttons = ReadMouseButtons();
    if (mx > left && mx < right && my > top && my < bottom && !buttons.anyDown) {
        isOver = true;
        isPressed = false;
        return;
    }
    // A track of no width on screen (its picture failed, or a zero scale) cannot be dragged: the
    // value would be a division by zero.
    const float trackWidth = w * scaleX;
    if (trackWidth > 0.0f && mx >= left && mx <= right && my >= top && my <= bottom && buttons.press) {
        value = (mx - left) * maxValue / trackWidth;
        isOver = true;
        isPressed = true;
        knob.x = mx - static_cast<float>(knob.overDesc.Width / 2) * scaleX;
        return;
    }
    isOver = false;
    isPressed = false;
}

void CSlider::Render() {
    Update();
    if (pSprite) {
        D3DXMATRIX transform;
        D3DXMatrixScaling(&transform, scaleX, scaleY, 1.0f);
        pSprite->SetTransform(&transform);
        pSprite->Begin(D3DXSPRITE_ALPHABLEND);
        if (pTrackTexture) {
            const D3DXVECTOR3 position(x, y, 0.0f);
            pSprite->Draw(pTrackTexture, nullptr, nullptr, &position, 0xFFFFFFFF);
        }
        pSprite->End();
    }
    knob.scaleX = scaleX;
    knob.scaleY = scaleY;
    knob.Render();
}

void CSlider::Release() {
    knob.Release();
    SafeRelease(pTrackTexture);
}
