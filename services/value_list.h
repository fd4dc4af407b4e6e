// The global list of 32-bit values, in the order of their appends.
#pragma once

#include <windows.h>

class ValueListNode {
public:
    ValueListNode* GetNext() const { return pNext; }

    DWORD value;
    ValueListNode* pNext;
};

// The head exists from static initialisation on (null only if it could not be allocated); a head
// holding 0 is an empty list. Nodes are never freed.
// Defined in game/static_objects.cpp, whose order of construction matters: a known reach upward.
extern ValueListNode* g_ValueList;
ValueListNode* InitValueList(); // a new empty head, or null when it cannot be allocated

namespace ValueList {
// Keeps the order of the appends; a value that finds no memory for its node is dropped.
void Append(DWORD value);
} // namespace ValueList
