// Kamishibai: the PNG encoder on the Windows Imaging Component.
#include "platform/png_file.h"

#include <wincodec.h>
#include <windows.h>

#include <stdexcept>

#include "platform/win32/handle_owner_com.h"
#include "platform/win32/memory_stream_win32.h"

namespace kamishibai {

namespace {

void check(HRESULT result) {
  if (FAILED(result)) throw std::runtime_error("the PNG encoder failed");
}

}  // namespace

// The image's words are 0x00RRGGBB, which WIC calls 32bppBGR: written as an opaque RGB PNG.
std::vector<std::uint8_t> encodePng(const Surface& surface) {
  const ComScope com;
  ComPtr<IWICImagingFactory> factory;
  check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(factory.put())));
  ComPtr<IStream> memory;
  check(CreateStreamOnHGlobal(nullptr, TRUE, memory.put()));
  ComPtr<IWICBitmapEncoder> encoder;
  check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put()));
  check(encoder->Initialize(memory.get(), WICBitmapEncoderNoCache));
  // WriteSource converts to whatever pixel format the PNG encoder takes.
  const auto width = static_cast<UINT>(surface.width());
  const auto height = static_cast<UINT>(surface.height());
  ComPtr<IWICBitmap> image;
  check(factory->CreateBitmapFromMemory(
      width, height, GUID_WICPixelFormat32bppBGR, width * 4, width * height * 4,
      reinterpret_cast<BYTE*>(const_cast<PixelWord*>(surface.pixelWords())), image.put()));
  ComPtr<IWICBitmapFrameEncode> frame;
  check(encoder->CreateNewFrame(frame.put(), nullptr));
  check(frame->Initialize(nullptr));
  check(frame->SetSize(width, height));
  check(frame->WriteSource(image.get(), nullptr));
  check(frame->Commit());
  check(encoder->Commit());
  std::vector<std::uint8_t> bytes;
  if (!streamBytes(memory.get(), bytes)) throw std::runtime_error("the PNG encoder failed");
  return bytes;
}

}  // namespace kamishibai
