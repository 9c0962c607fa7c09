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

struct Decoded {
  std::vector<std::uint8_t> pixels;  // 32-bit BGRA rows, width * 4 bytes each
  UINT width = 0;
  UINT height = 0;
  const char* problem = nullptr;  // set when the picture cannot be read

  DecodedPixels view() const {
    return {static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), pixels.data(),
            std::size_t{width} * 4, PixelLayout::Bgra};
  }
};

Decoded decode(const std::string& path) {
  Decoded out;
  const ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(factory.put())))) {
    out.problem = "the Windows Imaging Component is not available";
    return out;
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(toWide(path).c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.put()))) {
    out.problem = "the file is missing or not a picture";
    return out;
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICBitmapSource> converted;
  if (FAILED(decoder->GetFrame(0, frame.put())) ||
      FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), converted.put()))) {
    out.problem = "the picture cannot be decoded";
    return out;
  }
  if (FAILED(converted->GetSize(&out.width, &out.height)) || out.width == 0 || out.height == 0 ||
      out.width > 0x7FFF || out.height > 0x7FFF) {
    out.problem = "the picture has no usable size";
    return out;
  }
  out.pixels.resize(std::size_t{out.width} * out.height * 4);
  if (FAILED(converted->CopyPixels(nullptr, out.width * 4, static_cast<UINT>(out.pixels.size()),
                                   out.pixels.data()))) {
    out.problem = "the picture cannot be decoded";
  }
  return out;
}

// The decoded picture; throws when it cannot be read.
Decoded readable(const std::string& path) {
  Decoded picture = decode(path);
  if (picture.problem != nullptr) {
    throw std::runtime_error("cannot read the picture " + path + ": " + picture.problem);
  }
  return picture;
}

}  // namespace

void loadPicture(const std::string& path, Surface& target) {
  fillFromDecoded(target, readable(path).view());
}

PixelRect loadPictureInto(const std::string& path, Surface& target, Surface& frame, Point at) {
  return fillFrameOrTarget(target, frame, readable(path).view(), at);
}

std::string pictureLoadProblem(const std::string& path) {
  const Decoded picture = decode(path);
  return picture.problem != nullptr ? picture.problem : "";
}

}  // namespace kamishibai
