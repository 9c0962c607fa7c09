// Kamishibai: picture checks with the Windows Imaging Component fed from memory: the picture is
// decoded completely, as the show will decode it.
#include <wincodec.h>
#include <windows.h>

#include <vector>

#include "platform/picture_probe.h"
#include "platform/win32/com_object.h"

namespace kamishibai {

std::string pictureProblem(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return "the file is empty";
  if (bytes.size() > MAXDWORD) return "the file is too large";
  const ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(factory.put())))) {
    return "the Windows Imaging Component is missing";
  }
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.put()))) {
    return "not a picture";
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICBitmapSource> converted;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(decoder->GetFrame(0, frame.put())) ||
      FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), converted.put())) ||
      FAILED(converted->GetSize(&width, &height))) {
    return "the picture cannot be decoded";
  }
  if (width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF) {
    return "the picture has no usable size";
  }
  // Decoding every row finds a file that is damaged past its header.
  std::vector<std::uint8_t> row(std::size_t{width} * 4);
  for (UINT y = 0; y < height; ++y) {
    const WICRect line{0, static_cast<INT>(y), static_cast<INT>(width), 1};
    if (FAILED(
            converted->CopyPixels(&line, width * 4, static_cast<UINT>(row.size()), row.data()))) {
      return "the picture is damaged";
    }
  }
  return {};
}

}  // namespace kamishibai
