// Kamishibai: the factory of the Windows Imaging Component.
#pragma once

#include <wincodec.h>

#include "platform/win32/com_object.h"

namespace kamishibai {

// Within a ComScope; fails when the component is not installed.
inline HRESULT createImagingFactory(ComPtr<IWICImagingFactory>& factory) {
  return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(factory.put()));
}

}  // namespace kamishibai
