#include "ui/win32/Win32Images.h"

#include "common/win32/Utf16.h"

#include <windows.h>

#include <wincodec.h>

#include <climits>

namespace win32_images {
namespace {

template <class Interface> class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (m_object != nullptr) {
            m_object->Release();
        }
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* operator->() const { return m_object; }
    Interface* Get() const { return m_object; }
    Interface** Put() { return &m_object; }

private:
    Interface* m_object = nullptr;
};

// A thread already in the multithreaded apartment gets RPC_E_CHANGED_MODE; WIC works there too, and that
// call must not be balanced.
class ComApartment {
public:
    ComApartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (m_result == S_OK || m_result == S_FALSE) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

bool HasAlphaChannel(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame) {
    // An indexed format says nothing about transparency: the palette does (a PNG's tRNS chunk), and Qt
    // looks at the palette too.
    ComRef<IWICPalette> palette;
    if (SUCCEEDED(factory->CreatePalette(palette.Put())) && SUCCEEDED(frame->CopyPalette(palette.Get()))) {
        BOOL alpha = FALSE;
        return SUCCEEDED(palette->HasAlpha(&alpha)) && alpha;
    }
    WICPixelFormatGUID format;
    ComRef<IWICComponentInfo> component;
    ComRef<IWICPixelFormatInfo2> info;
    BOOL transparency = FALSE;
    return SUCCEEDED(frame->GetPixelFormat(&format)) &&
           SUCCEEDED(factory->CreateComponentInfo(format, component.Put())) &&
           SUCCEEDED(component->QueryInterface(IID_PPV_ARGS(info.Put()))) &&
           SUCCEEDED(info->SupportsTransparency(&transparency)) && transparency;
}

// The first frame; an ICO's is its first directory entry, which is also the one Qt takes.
zui::Image FirstFrame(IWICImagingFactory* factory, IWICBitmapDecoder* decoder) {
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(frame->GetSize(&width, &height)) ||
        FAILED(factory->CreateFormatConverter(converter.Put())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
        return {};
    }
    if (width == 0 || height == 0 || width > INT_MAX / 4 / height) {
        return {};
    }
    zui::Image image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.resize(static_cast<std::size_t>(image.Stride()) * image.height);
    // From a format without alpha the converter writes 255 into the alpha bytes.
    if (FAILED(converter->CopyPixels(nullptr, static_cast<UINT>(image.Stride()),
                                     static_cast<UINT>(image.pixels.size()), image.pixels.data()))) {
        return {};
    }
    image.hasAlpha = HasAlphaChannel(factory, frame.Get());
    image.bitsPerPixel = image.hasAlpha ? 32 : 24;
    return image;
}

HRESULT CreateFactory(ComRef<IWICImagingFactory>& factory) {
    return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                            IID_PPV_ARGS(factory.Put()));
}

} // namespace

// The objects are declared after the apartment, so they are released before it ends.
zui::Image Decode(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > UINT_MAX) {
        return {};
    }
    const ComApartment apartment;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    // WIC only reads through the stream; the parameter is not const because a stream may be written.
    if (FAILED(CreateFactory(factory)) || FAILED(factory->CreateStream(stream.Put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.Put()))) {
        return {};
    }
    return FirstFrame(factory.Get(), decoder.Get());
}

zui::Image LoadFile(const std::string& utf8Path) {
    const ComApartment apartment;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(CreateFactory(factory)) ||
        FAILED(factory->CreateDecoderFromFilename(Utf8ToUtf16(utf8Path).c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.Put()))) {
        return {};
    }
    return FirstFrame(factory.Get(), decoder.Get());
}

} // namespace win32_images
