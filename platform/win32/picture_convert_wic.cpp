// Kamishibai: picture checks and fitting with the Windows Imaging Component, fed from memory.
#include <propidl.h>
#include <wincodec.h>
#include <windows.h>

#include <vector>

#include "formats/picture_header.h"
#include "platform/picture_convert.h"
#include "platform/win32/handle_owner_com.h"
#include "platform/win32/memory_stream_win32.h"
#include "raster/decoded_pixels.h"

namespace kamishibai {
namespace {

// A WIC factory with COM set up on the calling thread for as long as it lives.
struct Codecs {
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  bool ready = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_PPV_ARGS(factory.put())));
};

struct Decoded {
  std::string problem;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT width = 0;
  UINT height = 0;
};

// Opens the first frame; a picture too large to decode is refused by its size, before any pixel
// is decoded.
void open(Codecs& codecs, std::span<const std::uint8_t> bytes, Decoded& out) {
  if (bytes.empty()) {
    out.problem = "the file is empty";
  } else if (bytes.size() > MAXDWORD) {
    out.problem = "the file is too large";
  } else if (!codecs.ready) {
    out.problem = "the Windows Imaging Component is missing";
  } else if (FAILED(codecs.factory->CreateStream(out.stream.put())) ||
             FAILED(out.stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                                     static_cast<DWORD>(bytes.size()))) ||
             FAILED(codecs.factory->CreateDecoderFromStream(
                 out.stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, out.decoder.put())) ||
             FAILED(out.decoder->GetFrame(0, out.frame.put())) ||
             FAILED(out.frame->GetSize(&out.width, &out.height))) {
    out.problem = "not a picture";
  } else if (out.width == 0 || out.height == 0) {
    out.problem = "the picture has no size";
  } else if (const std::string large = pictureSizeProblem({out.width, out.height});
             !large.empty()) {
    out.problem = "too large: " + large;
  }
}

bool hasAlpha(Codecs& codecs, IWICBitmapSource* source) {
  WICPixelFormatGUID format{};
  ComPtr<IWICComponentInfo> info;
  ComPtr<IWICPixelFormatInfo2> formatInfo;
  BOOL alpha = FALSE;
  return SUCCEEDED(source->GetPixelFormat(&format)) &&
         SUCCEEDED(codecs.factory->CreateComponentInfo(format, info.put())) &&
         SUCCEEDED(info->QueryInterface(IID_PPV_ARGS(formatInfo.put()))) &&
         SUCCEEDED(formatInfo->SupportsTransparency(&alpha)) && alpha != FALSE;
}

WICBitmapTransformOptions turnFor(int orientation) {
  switch (orientation) {
    case 2:
      return WICBitmapTransformFlipHorizontal;
    case 3:
      return WICBitmapTransformRotate180;
    case 4:
      return WICBitmapTransformFlipVertical;
    case 5:
      return static_cast<WICBitmapTransformOptions>(WICBitmapTransformRotate90 |
                                                    WICBitmapTransformFlipHorizontal);
    case 6:
      return WICBitmapTransformRotate90;
    case 7:
      return static_cast<WICBitmapTransformOptions>(WICBitmapTransformRotate270 |
                                                    WICBitmapTransformFlipHorizontal);
    case 8:
      return WICBitmapTransformRotate270;
    default:
      return WICBitmapTransformRotate0;
  }
}

std::string encode(Codecs& codecs, IWICBitmapSource* picture, bool png, int quality,
                   std::vector<std::uint8_t>& out) {
  ComPtr<IStream> memory;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, memory.put())) ||
      FAILED(codecs.factory->CreateEncoder(png ? GUID_ContainerFormatPng : GUID_ContainerFormatJpeg,
                                           nullptr, encoder.put())) ||
      FAILED(encoder->Initialize(memory.get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.put(), options.put()))) {
    return "cannot be encoded";
  }
  if (!png) {
    PROPBAG2 name{};
    name.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = static_cast<float>(quality) / 100.0f;
    options->Write(1, &name, &value);
  }
  UINT width = 0;
  UINT height = 0;
  if (FAILED(frame->Initialize(options.get())) || FAILED(picture->GetSize(&width, &height)) ||
      FAILED(frame->SetSize(width, height)) || FAILED(frame->WriteSource(picture, nullptr)) ||
      FAILED(frame->Commit()) || FAILED(encoder->Commit()) || !streamBytes(memory.get(), out)) {
    return "cannot be encoded";
  }
  return {};
}

// The picture of `decoded` upright, scaled and cropped as the request asks, in `clipper`; why it
// cannot be, or empty.
std::string fitted(Codecs& codecs, IWICBitmapSource* picture, const FitRequest& request,
                   ComPtr<IWICBitmapClipper>& clipper, FitGeometry& geometry) {
  ComPtr<IWICBitmapFlipRotator> turned;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(codecs.factory->CreateBitmapFlipRotator(turned.put())) ||
      FAILED(turned->Initialize(picture, turnFor(request.orientation))) ||
      FAILED(turned->GetSize(&width, &height))) {
    return "the picture cannot be turned upright";
  }
  geometry = fitGeometry(request.fit, static_cast<int>(width), static_cast<int>(height),
                         request.areaWidth, request.areaHeight);
  // The Fant filter averages what each pixel covers, as area filtering does.
  ComPtr<IWICBitmapScaler> scaler;
  const WICRect crop{geometry.cropX, geometry.cropY, geometry.width, geometry.height};
  if (FAILED(codecs.factory->CreateBitmapScaler(scaler.put())) ||
      FAILED(scaler->Initialize(turned.get(), static_cast<UINT>(geometry.scaledWidth),
                                static_cast<UINT>(geometry.scaledHeight),
                                WICBitmapInterpolationModeFant)) ||
      FAILED(codecs.factory->CreateBitmapClipper(clipper.put())) ||
      FAILED(clipper->Initialize(scaler.get(), &crop))) {
    return "the picture cannot be scaled";
  }
  return {};
}

}  // namespace

// WIC's JPEG decoder takes a file only whole, with its image data, so the header alone is checked
// by the header reader: its markers, its frame and its size.
PictureFacts checkJpegHeader(std::span<const std::uint8_t> headerBytes) {
  const std::optional<PictureHeader> header = readPictureHeader(headerBytes);
  if (!header || header->format != PictureFormat::Jpeg) return {"not a picture", false};
  if (const std::string large = pictureSizeProblem(*header); !large.empty())
    return {"too large: " + large, false};
  return {};
}

FittedPicture fitPicture(std::span<const std::uint8_t> bytes, const FitRequest& request) {
  FittedPicture result;
  Codecs codecs;
  Decoded decoded;
  ComPtr<IWICBitmapClipper> clipper;
  FitGeometry geometry;
  open(codecs, bytes, decoded);
  result.problem = decoded.problem.empty()
                       ? fitted(codecs, decoded.frame.get(), request, clipper, geometry)
                       : decoded.problem;
  if (!result.problem.empty()) return result;
  result.png = request.png || hasAlpha(codecs, decoded.frame.get());
  result.width = geometry.width;
  result.height = geometry.height;
  result.problem = encode(codecs, clipper.get(), result.png, request.jpegQuality, result.bytes);
  return result;
}

std::string fitPictureInto(std::span<const std::uint8_t> bytes, const FitRequest& request,
                           Surface& target) {
  Codecs codecs;
  Decoded decoded;
  ComPtr<IWICBitmapClipper> clipper;
  FitGeometry geometry;
  open(codecs, bytes, decoded);
  if (!decoded.problem.empty()) return decoded.problem;
  // Converted first, so that the scaler and the clipper pass on the pixels as they are kept.
  ComPtr<IWICBitmapSource> converted;
  if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, decoded.frame.get(),
                                    converted.put())))
    return "the picture cannot be decoded";
  if (std::string problem = fitted(codecs, converted.get(), request, clipper, geometry);
      !problem.empty())
    return problem;
  const auto width = static_cast<UINT>(geometry.width);
  // The whole picture, named: not every chain of transforms takes a null rectangle.
  const WICRect whole{0, 0, geometry.width, geometry.height};
  std::vector<std::uint8_t> pixels(std::size_t{width} * static_cast<UINT>(geometry.height) * 4);
  if (FAILED(
          clipper->CopyPixels(&whole, width * 4, static_cast<UINT>(pixels.size()), pixels.data())))
    return "the picture cannot be decoded";
  fillFromDecoded(target, {geometry.width, geometry.height, pixels.data(), std::size_t{width} * 4,
                           PixelLayout::Bgra});
  return {};
}

std::vector<std::string> pictureFileEndings() {
  return {"bmp", "dib", "gif", "jpe", "jpeg", "jpg", "png", "tif", "tiff"};
}

}  // namespace kamishibai
