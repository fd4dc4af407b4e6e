// Surface utilities and screenshots.
#include "app/app.h"

HRESULT SaveScreenshot(const char*) { return E_FAIL; }
