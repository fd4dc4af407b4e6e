// Inside the services: the check that keeps spoiled .bmp files away from the platform's picture
// loaders, which read past the end of such a file or overflow on its sizes instead of failing.
#pragma once

// True for a file that starts as a BMP ("BM") whose headers do not hold together or claim more
// than the file holds: no loader may be given it. A file that cannot be opened and a file of
// another format are not judged (false): the loaders refuse those themselves.
bool BitmapFileIsSpoiled(const char* path);
