// Inside the scene: an X file opened with the standard templates, walked and released, and the walk
// over an object's children, shared by the sub-mesh loader and the hierarchy loaders.
#pragma once

#include "platform/platform.h"

#include <d3dx9.h>

// The file object with the standard templates and the enumeration of `fileName`; false (with nothing
// left to release) when either cannot be made.
inline bool OpenXFile(const char* fileName, ID3DXFile** file, ID3DXFileEnumObject** enumeration) {
    *file = nullptr;
    *enumeration = nullptr;
    if (!fileName || FAILED(D3DXFileCreate(file))) {
        *file = nullptr;
        return false;
    }
    if (FAILED((*file)->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES)) ||
        FAILED((*file)->CreateEnumObject(fileName, D3DXF_FILELOAD_FROMFILE, enumeration))) {
        (*file)->Release();
        *file = nullptr;
        *enumeration = nullptr;
        return false;
    }
    return true;
}

// Runs `visit(child)` on each child object of `parent` (an enumeration or a data object) until it
// gives false; children that cannot be fetched are passed over.
template <typename Parent, typename Visit> bool ForEachChild(Parent* parent, Visit visit) {
    SIZE_T count = 0;
    parent->GetChildren(&count);
    for (SIZE_T i = 0; i < count; ++i) {
        ID3DXFileData* child = nullptr;
        if (FAILED(parent->GetChild(i, &child)) || !child) {
            continue;
        }
        const bool goOn = visit(child);
        child->Release();
        if (!goOn) {
            return false;
        }
    }
    return true;
}

// Opens `fileName`, hands its enumeration to `walk` and releases both after it; false, with `walk` not
// run, when the file cannot be opened.
template <typename Walk> bool WalkXFile(const char* fileName, Walk walk) {
    ID3DXFile* file = nullptr;
    ID3DXFileEnumObject* enumeration = nullptr;
    if (!OpenXFile(fileName, &file, &enumeration)) {
        return false;
    }
    walk(enumeration);
    enumeration->Release();
    file->Release();
    return true;
}

// As WalkXFile, running `visit(object)` on each top-level object of the file until it gives false.
template <typename Visit> bool ForEachTopLevelObject(const char* fileName, Visit visit) {
    return WalkXFile(fileName,
                     [&visit](ID3DXFileEnumObject* enumeration) { ForEachChild(enumeration, visit); });
}
