#include "win32/picture.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "win32/com.h"

namespace qm::win32 {

namespace {

// Far beyond any picture of the program; keeps the bitmap's byte count in range.
constexpr UINT kMaxSide = 4096;

// The component's ids, spelt out here: those of the import library come in
// one piece with all of the component's other ids, 3 KB of the exe.
// The first version of the factory, the only one Windows 7 has.
constexpr CLSID kImagingFactory1 = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
constexpr GUID kPixelFormat24bppBGR = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c}};
constexpr GUID kContainerFormatPng = {0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};

// Rows a band: some 2 MB for the widest arrangement.
constexpr UINT kBandBytes = 2u << 20;

std::string Failed(const char* step, HRESULT hr) {
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (error 0x%08lX)", step, static_cast<unsigned long>(hr));
    return text;
}

}  // namespace

UniqueGdi DecodePicture(const void* bytes, size_t size) {
    if (!bytes || size == 0 || size > MAXDWORD) return {};
    ComScope com;
    if (!com.usable()) return {};
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    // The stream only reads the bytes.
    if (FAILED(CoCreateInstance(kImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.out()))) ||
        FAILED(factory->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)), static_cast<DWORD>(size))) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) || FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.get(), kPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return {};
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide ||
        height > kMaxSide)
        return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdi bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};
    const UINT stride = (width * 3 + 3) & ~3u;  // rows of a DIB end on a 4-byte boundary
    auto* rows = static_cast<BYTE*>(bits);
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, rows))) return {};
    // The decoder gives the top row first, the bitmap keeps it last.
    for (UINT top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rows + top * stride, rows + (top + 1) * stride, rows + bottom * stride);
    return bitmap;
}

UniqueGdi LoadPictureResource(HINSTANCE module, int id) {
    // A loaded resource lives as long as its module: nothing to free.
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return DecodePicture(bytes, SizeofResource(module, found));
}

}  // namespace qm::win32

namespace qm::win32 {

std::string EncodePng(const std::wstring& path, UINT width, UINT height, const PictureRows& rows) {
    if (width == 0 || height == 0 || width > (MAXDWORD - 3) / 3) return "the picture has no size";
    const std::string result = [&]() -> std::string {
        ComScope com;
        if (!com.usable()) return "the system's imaging component cannot be started";
        ComPtr<IWICImagingFactory> factory;
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> frame;
        ComPtr<IPropertyBag2> options;
        HRESULT hr = CoCreateInstance(kImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.out()));
        if (FAILED(hr)) return "the system has no imaging component";
        if (FAILED(hr = factory->CreateStream(stream.out()))) return Failed("Making a stream", hr);
        if (FAILED(hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)))
            return Failed("Creating the file", hr);
        if (FAILED(hr = factory->CreateEncoder(kContainerFormatPng, nullptr, encoder.out())) ||
            FAILED(hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
            FAILED(hr = encoder->CreateNewFrame(frame.out(), options.out())) ||
            FAILED(hr = frame->Initialize(options.get())) || FAILED(hr = frame->SetSize(width, height)))
            return Failed("Starting the PNG", hr);
        WICPixelFormatGUID format = kPixelFormat24bppBGR;
        if (FAILED(hr = frame->SetPixelFormat(&format))) return Failed("Choosing the pixels", hr);
        if (format != kPixelFormat24bppBGR) return "the PNG encoder does not take 24-bit pixels";
        const UINT stride = (width * 3 + 3) & ~3u;
        const UINT band = std::max(1u, std::min(height, kBandBytes / stride));
        std::vector<BYTE> bytes(static_cast<size_t>(stride) * band);
        for (UINT first = 0; first < height; first += band) {
            const UINT count = std::min(band, height - first);
            rows(first, count, bytes.data(), stride);
            if (FAILED(hr = frame->WritePixels(count, stride, stride * count, bytes.data())))
                return Failed("Writing the pixels", hr);
        }
        if (FAILED(hr = frame->Commit()) || FAILED(hr = encoder->Commit())) return Failed("Finishing the PNG", hr);
        return "";
    }();
    // The stream is closed by now: a file half written goes.
    if (!result.empty()) DeleteFileW(path.c_str());
    return result;
}

}  // namespace qm::win32
