// Pictures stored compressed (a PNG, or another format the Windows Imaging
// Component reads), as bitmaps that GDI draws.
#pragma once

#include <windows.h>

#include <cstddef>

#include "win32/handles.h"

namespace qm::win32 {

// The picture in these bytes as a 24-bit bottom-up DIB section, the bitmap
// that LoadImage makes of a 24-bit BMP: the same pixels, drawn the same way.
// None when the bytes are not a picture the system can read, or the system
// lacks the imaging component.
UniqueGdi DecodePicture(const void* bytes, size_t size);

// The same for a module's RCDATA resource.
UniqueGdi LoadPictureResource(HINSTANCE module, int id);

}  // namespace qm::win32
