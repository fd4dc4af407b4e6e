// For the tests and the benchmark: the stage machine's single steps and the screenshot name, which the
// game runs only through StageIdlePass and the window procedure.
#pragma once

#include <cstddef>

void SplashRender();
void LogoStep();
void LoadingStep();
// Builds the screenshot name for a count ("screenshot0%d.bmp" below 10); false when it would not fit.
bool FormatScreenshotName(int count, char* name, size_t size);
