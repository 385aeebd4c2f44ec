// Pictures stored compressed (a PNG, or another format the Windows Imaging
// Component reads), as bitmaps that GDI draws.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "win32/handles.h"

namespace qm::win32 {

// The picture in these bytes as a 24-bit bottom-up DIB section, the bitmap
// that LoadImage makes of a 24-bit BMP: the same pixels, drawn the same way.
// None when the bytes are not a picture the system can read, or the system
// lacks the imaging component.
UniqueGdi DecodePicture(const void* bytes, size_t size);

// The same for a module's RCDATA resource.
UniqueGdi LoadPictureResource(HINSTANCE module, int id);

// Makes rows `first` to `first + count - 1` of a picture, 3 bytes a pixel
// in the order B, G, R, `stride` bytes apart.
using PictureRows = std::function<void(UINT first, UINT count, BYTE* out, UINT stride)>;

// Writes a PNG file of width x height pixels, asking `rows` for them a band
// at a time, so that a picture of many megapixels never lies whole in
// memory. Empty when written; else what failed, and no file is left.
std::string EncodePng(const std::wstring& path, UINT width, UINT height, const PictureRows& rows);

}  // namespace qm::win32
