// A global list of 32-bit values in the order of their appends. Its head is made during static
// initialisation (see static_objects.cpp); nodes are never freed and live until the process ends.
#include "services/value_list.h"

#include <new>

ValueListNode* InitValueList() {
    return new (std::nothrow) ValueListNode{0, nullptr};
}

void ValueList::Append(DWORD value) {
    // A head that could not be made at start is made now; without memory the value is dropped.
    if (!g_ValueList) {
        g_ValueList = InitValueList();
        if (!g_ValueList) {
            return;
        }
    }
    // A head holding 0 stands for an empty list: it takes the value, so appending 0 there changes nothing.
    if (g_ValueList->value == 0) {
        g_ValueList->value = value;
        g_ValueList->pNext = nullptr;
        return;
    }
    ValueListNode* last = g_ValueList;
    while (last->pNext) {
        last = last->pNext;
    }
    last->pNext = new (std::nothrow) ValueListNode{value, nullptr};
}
