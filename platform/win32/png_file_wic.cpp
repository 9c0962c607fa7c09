// Kamishibai: the PNG writer on the Windows Imaging Component.
#include "platform/png_file.h"

#include <wincodec.h>
#include <windows.h>

#include <stdexcept>

#include "platform/win32/handle_owner_com.h"

namespace kamishibai {

namespace {

void check(HRESULT result, const std::filesystem::path& path) {
  if (FAILED(result)) {
    const std::u8string name = path.u8string();
    throw std::runtime_error("cannot write the picture " + std::string(name.begin(), name.end()));
  }
}

}  // namespace

// The image's words are 0x00RRGGBB, which WIC calls 32bppBGR: written as an opaque RGB PNG.
void writePng(const Surface& surface, const std::filesystem::path& path) {
  const ComScope com;
  ComPtr<IWICImagingFactory> factory;
  check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(factory.put())),
        path);
  ComPtr<IWICStream> stream;
  check(factory->CreateStream(stream.put()), path);
  check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), path);
  ComPtr<IWICBitmapEncoder> encoder;
  check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put()), path);
  check(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache), path);
  // WriteSource converts to whatever pixel format the PNG encoder takes.
  const auto width = static_cast<UINT>(surface.width());
  const auto height = static_cast<UINT>(surface.height());
  ComPtr<IWICBitmap> image;
  check(factory->CreateBitmapFromMemory(
            width, height, GUID_WICPixelFormat32bppBGR, width * 4, width * height * 4,
            reinterpret_cast<BYTE*>(const_cast<PixelWord*>(surface.pixelWords())), image.put()),
        path);
  ComPtr<IWICBitmapFrameEncode> frame;
  check(encoder->CreateNewFrame(frame.put(), nullptr), path);
  check(frame->Initialize(nullptr), path);
  check(frame->SetSize(width, height), path);
  check(frame->WriteSource(image.get(), nullptr), path);
  check(frame->Commit(), path);
  check(encoder->Commit(), path);
}

}  // namespace kamishibai
