// The program's resource numbers, shared by resource.rc and the code that loads the resources. The
// resource compiler reads only the preprocessor, so each is a #define.
#pragma once

#define IDI_QUORVANTIS 102 // the program's icon
