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

// A picture file decoded into 32-bit BGRA pixels.
struct DecodedFile {
  UINT width = 0;
  UINT height = 0;
  std::vector<std::uint8_t> pixels;

  DecodedPixels view() const {
    return {static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), pixels.data(),
            std::size_t{width} * 4, PixelLayout::Bgra};
  }
};

DecodedFile decodeFile(const std::string& path) {
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
  DecodedFile decoded;
  if (FAILED(converted->GetSize(&decoded.width, &decoded.height)) || decoded.width == 0 ||
      decoded.height == 0 || decoded.width > 0x7FFF || decoded.height > 0x7FFF) {
    cannotRead(path, "the picture has no usable size");
  }
  decoded.pixels.resize(std::size_t{decoded.width} * decoded.height * 4);
  if (FAILED(converted->CopyPixels(nullptr, decoded.width * 4,
                                   static_cast<UINT>(decoded.pixels.size()),
                                   decoded.pixels.data()))) {
    cannotRead(path, "the picture cannot be decoded");
  }
  return decoded;
}

}  // namespace

void loadPicture(const std::string& path, Surface& target) {
  fillFromDecoded(target, decodeFile(path).view());
}

PixelRect loadPictureInto(const std::string& path, Surface& target, Surface& frame, Point at) {
  return fillFrameOrTarget(target, frame, decodeFile(path).view(), at);
}

}  // namespace kamishibai
