// Kamishibai: kamishibai-pack info: the package record of a saver, as text or as JSON.
#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <iostream>

#include "base/file_names.h"
#include "effects/transition.h"
#include "formats/package.h"
#include "platform/source_file.h"
#include "tools/commands.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

// Names are stored as bytes; valid UTF-8 is passed on, any other byte is escaped as the
// character of the same value so that the output stays valid JSON.
std::string jsonString(std::string_view text) {
  if (isValidUtf8(text)) return quotedText(text, [](unsigned char byte) { return byte < 0x20; });
  return quotedText(text, [](unsigned char byte) { return byte < 0x20 || byte >= 0x80; });
}

void printJson(const PackageRecord& r, std::ostream& out) {
  out << "{\"AreaWidth\":" << r.AreaWidth << ",\"AreaHeight\":" << r.AreaHeight
      << ",\"AreaColor\":" << r.AreaColor << ",\"HasSettings\":" << r.HasSettings
      << ",\"PictureCount\":" << r.PictureCount << ",\"BgmName\":" << jsonString(r.BgmName)
      << ",\"BgmSize\":" << r.BgmData.data.size() << ",\"Pictures\":[";
  const char* separator = "";
  for (const PictureEntry& e : r.Pictures.entries) {
    out << separator << "{\"FileName\":" << jsonString(e.FileName)
        << ",\"SoundName\":" << jsonString(e.SoundName) << ",\"ShowTime\":" << e.ShowTime
        << ",\"PosX\":" << e.PosX << ",\"PosY\":" << e.PosY << ",\"EffectNo\":" << e.EffectNo
        << ",\"Speed\":" << e.Speed << ",\"Overlay\":" << e.Overlay
        << ",\"Transparent\":" << e.Transparent << ",\"FileSize\":" << e.FileData.data.size()
        << ",\"SoundSize\":" << e.SoundData.data.size() << "}";
    separator = ",";
  }
  out << "],\"PackageLength\":" << r.PackageLength << "}\n";
}

std::string onOff(std::int16_t value) {
  return value == 0 ? "off" : value == -1 ? "on" : "on (" + std::to_string(value) + ")";
}

// True when the package cannot be read to its end as written; says what is wrong either way.
bool reportDamage(const PackageReading& reading, std::ostream& err) {
  const PackageRecord& r = reading.record;
  if (r.PictureCount != static_cast<std::int64_t>(r.Pictures.entries.size())) {
    err << "warning: PictureCount is " << r.PictureCount << " but " << r.Pictures.entries.size()
        << " entries were read\n";
  }
  if (!reading.complete) {
    err << "error: the package is damaged: only the fields up to byte " << reading.end << " of "
        << reading.fileSize << " could be read\n";
    return true;
  }
  if (reading.end != reading.fileSize) {
    err << "error: the package is damaged: its record ends " << reading.fileSize - reading.end
        << " bytes before the end of the file\n";
    return true;
  }
  return false;
}

// A stored name as a terminal may show it, a backslash doubled so that an escape stands out.
std::string shownName(std::string_view name) {
  return terminalText(name, Backslashes::Escaped);
}

// Characters on a terminal: every byte but the continuation bytes of UTF-8 starts one.
std::size_t columnsOf(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string padded(const std::string& text, std::size_t width) {
  const std::size_t used = columnsOf(text);
  return text + std::string(used < width ? width - used : 1, ' ');
}

void printText(const PackageReading& reading, std::ostream& out) {
  const PackageRecord& r = reading.record;
  char colour[16];
  std::snprintf(colour, sizeof colour, "0x%08X", static_cast<std::uint32_t>(r.AreaColor));
  out << "package: " << reading.fileSize - reading.start << " bytes from offset " << reading.start
      << " (PackageLength " << r.PackageLength << ")\n"
      << "area: " << r.AreaWidth << " x " << r.AreaHeight << ", colour " << colour << "\n"
      << "settings: " << onOff(r.HasSettings) << "\n"
      << "music: "
      << (r.BgmName.empty()
              ? std::string("none")
              : shownName(r.BgmName) + " (" + std::to_string(r.BgmData.data.size()) + " bytes)")
      << "\n"
      << "slides: " << r.Pictures.entries.size() << " (PictureCount " << r.PictureCount << ")\n";
  std::size_t nameWidth = 6;
  for (const PictureEntry& e : r.Pictures.entries) {
    nameWidth = std::max(nameWidth, columnsOf(shownName(e.FileName)) + 2);
  }
  out << std::left << std::setw(6) << "index" << padded("name", nameWidth) << std::setw(10)
      << "bytes" << std::setw(7) << "time" << std::setw(12) << "position"
      << "effect" << std::setw(24) << "" << std::setw(7) << "speed" << std::setw(9) << "overlay"
      << std::setw(13) << "transparent"
      << "sound\n";
  std::int64_t index = r.Pictures.shape.lowerBound;
  for (const PictureEntry& e : r.Pictures.entries) {
    const EffectInfo* effect = findEffect(e.EffectNo);
    out << std::setw(6) << index++ << padded(shownName(e.FileName), nameWidth) << std::setw(10)
        << e.FileData.data.size() << std::setw(7) << e.ShowTime << std::setw(12)
        << (std::to_string(e.PosX) + "," + std::to_string(e.PosY)) << std::setw(3) << e.EffectNo
        << " " << std::setw(26) << (effect ? effect->name : "(draws nothing)") << std::setw(7)
        << e.Speed << std::setw(9) << onOff(e.Overlay) << std::setw(13) << onOff(e.Transparent)
        << (e.SoundName.empty() ? "-" : shownName(e.SoundName)) << "\n";
  }
}

}  // namespace

int runInfo(const std::filesystem::path& file, bool json, std::ostream& out, std::ostream& err) {
  const PackageReading reading = inspectPackage(openSourceFile(file));
  if (!reading.opened || !reading.found) {
    err << terminalText(utf8Of(file), Backslashes::Kept)
        << (reading.opened ? ": holds no package\n" : ": cannot be read\n");
    return 1;
  }
  if (json) {
    printJson(reading.record, out);
  } else {
    printText(reading, out);
  }
  return reportDamage(reading, err) ? 1 : 0;
}

void addInfoCommand(CLI::App& app) {
  auto* command = app.add_subcommand("info", "List the package record of a saver");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  command->add_option("file", *file, "The saver")->required();
  command->add_flag("--json", *json, "Print one JSON object with the record's field names");
  command->callback(
      [=] { finishCommand(runInfo(pathFromUtf8(*file), *json, std::cout, std::cerr)); });
}

}  // namespace kamishibai
