// Kamishibai: PNG files of surfaces, written by the Windows Imaging Component.
#include <stdexcept>
#include <vector>

#include "platform/headless/frame_recorder.h"
#include "platform/win32/wic.h"

namespace kamishibai {

namespace {

// The surface as rows of blue, green and red bytes, top row first.
std::vector<BYTE> bgrRows(const Surface& surface) {
  std::vector<BYTE> pixels;
  pixels.reserve(static_cast<std::size_t>(surface.width()) * surface.height() * 3);
  for (std::int32_t y = 0; y < surface.height(); ++y) {
    for (std::int32_t x = 0; x < surface.width(); ++x) {
      const Colour colour = surface.pixel(x, y);  // 0x00BBGGRR
      pixels.push_back(static_cast<BYTE>(colour >> 16));
      pixels.push_back(static_cast<BYTE>(colour >> 8));
      pixels.push_back(static_cast<BYTE>(colour));
    }
  }
  return pixels;
}

}  // namespace

void writePng(const Surface& surface, const std::filesystem::path& path) {
  const auto fail = [&](const char* why) {
    throw std::runtime_error("cannot write " + path.string() + ": " + why);
  };
  const ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(createImagingFactory(factory))) fail("the Windows Imaging Component is missing");
  const UINT width = static_cast<UINT>(surface.width());
  const UINT height = static_cast<UINT>(surface.height());
  std::vector<BYTE> pixels = bgrRows(surface);
  ComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromFilename(path.wstring().c_str(), GENERIC_WRITE))) {
    fail("the file cannot be created");
  }
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  const bool written =
      SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
      SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
      SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
      SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR &&
      SUCCEEDED(
          frame->WritePixels(height, width * 3, static_cast<UINT>(pixels.size()), pixels.data())) &&
      SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  if (!written) fail("the picture cannot be encoded");
}

}  // namespace kamishibai
