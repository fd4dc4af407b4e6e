// The slider: a knob dragged along a track picture sets a value.
#pragma once

#include "ui/button.h"

// The slider's pictures; nothing passes them to Init yet.
extern const char* const g_szSliderTrack;
extern const char* const g_szSliderKnob;

// A track picture with a knob button that the mouse drags to set `value` between 0 and `maxValue`.
// The bounds of its box are all scaled, unlike a button's. Zero-filled until Init.
class CSlider {
public:
    void Init(float xPos, float yPos, const char* trackFile, const char* knobFile, float initial, float max);
    void Update(); // the hover and drag test; while dragged sets value and moves the knob
    void Render(); // Update, then the track and the knob, inside the caller's scene
    // The knob's over picture and font and the track picture; the sprites and the knob's other
    // pictures stay with their owner, as for a button.
    void Release();

    float x = 0.0f, y = 0.0f;
    float initialValue = 0.0f;
    float maxValue = 0.0f;
    float scaleX = 0.0f, scaleY = 0.0f;
    float value = 0.0f;
    bool isOver = false;
    bool isPressed = false;
    LPDIRECT3DTEXTURE9 pTrackTexture = nullptr;
    LPD3DXSPRITE pSprite = nullptr;
    D3DSURFACE_DESC trackDesc = {}; // Width and Height size the box; 0 without a picture
    CButton knob = {};
};
