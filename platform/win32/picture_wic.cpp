// Kamishibai: the picture loader on the Windows Imaging Component (JPEG, PNG, BMP, GIF and every
// other format the system decodes).
#include <wincodec.h>
#include <windows.h>

#include <stdexcept>
#include <vector>

#include "platform/picture.h"
#include "platform/win32/handle_owner_com.h"
#include "platform/win32/wide_text_win32.h"
#include "raster/decoded_pixels.h"

namespace kamishibai {

namespace {

[[noreturn]] void cannotRead(const std::string& path, const char* why) {
  throw std::runtime_error("cannot read the picture " + path + ": " + why);
}

}  // namespace

void loadPicture(const std::string& path, Surface& target) {
  const ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(factory.put())))) {
    cannotRead(path, "the Windows Imaging Component is not available");
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(toWide(path).c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.put()))) {
    cannotRead(path, "the file is missing or not a picture");
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICBitmapSource> converted;
  if (FAILED(decoder->GetFrame(0, frame.put())) ||
      FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), converted.put()))) {
    cannotRead(path, "the picture cannot be decoded");
  }
  UINT width = 0;
  UINT height = 0;
  if (FAILED(converted->GetSize(&width, &height)) || width == 0 || height == 0 || width > 0x7FFF ||
      height > 0x7FFF) {
    cannotRead(path, "the picture has no usable size");
  }
  std::vector<std::uint8_t> pixels(std::size_t{width} * height * 4);
  if (FAILED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()),
                                   pixels.data()))) {
    cannotRead(path, "the picture cannot be decoded");
  }
  fillFromDecoded(target, {static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                           pixels.data(), std::size_t{width} * 4, PixelLayout::Bgra});
}

}  // namespace kamishibai
