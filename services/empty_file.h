// Inside the services: emptying a file that the caller then writes with C standard I/O.
#pragma once

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

// Creates the file, or empties it when it exists, with the runtime's low-level create and close. A failure
// is passed over: the caller's own fopen of the name meets it again.
inline void CreateEmptyFile(const char* name) {
    _close(_creat(name, _S_IREAD | _S_IWRITE));
}
