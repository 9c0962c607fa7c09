// Kamishibai: pictures and manifests in a scratch folder for the Studio's tests.
#pragma once

#include <filesystem>
#include <string>

#include "platform/canvas.h"
#include "tests/unit/scratch_folder.h"
#include "tools/manifest_show.h"

namespace kamishibai {

// A picture of one colour, written as PNG or JPEG by its file's ending.
inline std::filesystem::path paint(const std::filesystem::path& file, int width, int height,
                                   Rgb colour) {
  std::filesystem::create_directories(file.parent_path());
  Canvas canvas(width, height);
  canvas.fillGradient({0, 0}, colour, {double(width), double(height)}, colour);
  const std::string problem =
      file.extension() == ".jpg" ? canvas.saveJpeg(file, 95) : canvas.savePng(file);
  EXPECT_EQ(problem, "");
  return file;
}

// The slides' pictures by their file names' stems, one letter each: "abc".
inline std::string stems(const ManifestShow& show) {
  std::string text;
  for (const ManifestSlide& slide : show.slides) text += slide.picture.stem().string();
  return text;
}

}  // namespace kamishibai
