// Kamishibai: the start-up steps, in the same order in every mode.
#include "startup/module1.h"

#include <charconv>
#include <exception>
#include <iostream>

#include "base/arith.h"
#include "platform/running_program.h"
#include "platform/translate.h"
#include "startup/paths.h"
#include "startup/work_folder.h"

namespace kamishibai {

namespace {

// The status when a mode needs a window and none can be had.
constexpr int kNoWindow = 1;

// The continue-on-error rule: a step that fails is skipped and what it would have set keeps
// its value.
template <typename Step>
void skipOnError(Step step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

std::string upperCasedPrefix(const std::string& text, std::size_t length) {
  std::string prefix = text.substr(0, length);
  for (char& c : prefix) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return prefix;
}

std::string trimmedBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The length of the leading number: sign, digits, then '.' and digits.
std::size_t leadingNumberLength(const std::string& text) {
  std::size_t end = 0;
  const auto digitsFrom = [&](std::size_t at) {
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    return at;
  };
  if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
  const std::size_t integerStart = end;
  end = digitsFrom(end);
  bool hasDigits = end > integerStart;
  if (end < text.size() && text[end] == '.') {
    const std::size_t fraction = digitsFrom(end + 1);
    if (fraction > end + 1) hasDigits = true;
    if (hasDigits) end = fraction;
  }
  return hasDigits ? end : 0;
}

// Opens the display, or says on the terminal that none can be opened.
bool displayOpened(StartupServices& services) {
  if (services.openDisplay()) return true;
  std::cerr << programName() << ": no display can be opened; set DISPLAY to a running X server\n";
  return false;
}

// The exit status of the show. The display is opened while the files are unpacked: neither
// waits for the other.
int runShowMode(StartupServices& services, StartupState& state,
                const std::optional<HostWindow>& host) {
  const auto parent = services.workFoldersParent();
  if (!parent) {
    if (!displayOpened(services)) return kNoWindow;
    services.showMessage(tr("実行できません"), tr("モザリカ"));
    return 0;
  }
  // A stop that comes while the files are unpacked still removes them.
  services.watchEndSignals();
  WorkFolder folder;
  skipOnError([&] { folder = prepareWorkFolder(*parent, services.fallbackWorkFoldersParent()); });
  state.WorkDir = folder.path;
  const auto removeFiles = [&] {
    skipOnError([&] { removeWorkFiles(state.record, state.WorkDir); });
  };
  bool windowFound = true;
  {
    // The files are unpacked while the show gets ready (its window, its surfaces, the first
    // picture once its file is complete); the show itself starts when every file is in place.
    std::optional<WorkFileWriter> writer;
    skipOnError([&] { writer.emplace(state.record, state.WorkDir); });
    if (!displayOpened(services)) {
      if (writer) writer->finish();
      removeFiles();
      return kNoWindow;
    }
    const ShowInputs inputs{state.record,
                            state.WorkDir,
                            state.BgmOn,
                            state.SoundOn,
                            host,
                            removeFiles,
                            [&writer](const std::string& name) {
                              if (writer) writer->awaitFile(name);
                            }};
    skipOnError([&] { services.prepareShow(inputs); });
    if (writer) writer->finish();
    if (!services.endSignalled()) skipOnError([&] { windowFound = services.runShow(inputs); });
  }
  removeFiles();
  return windowFound ? 0 : kNoWindow;
}

void runConfigureMode(StartupServices& services, const StartupState& state) {
  if (state.record.HasSettings != 0) {
    services.runSettingsDialog(state.SetFilePath, {state.BgmOn, state.SoundOn});
  } else {
    services.showMessage(tr("設定項目はありません"), tr("スクリーンセーバー"));
  }
}

void runChangePasswordMode(StartupServices& services, const std::string& commandLine) {
  std::int32_t owner = readHandleNumber(commandLine.substr(2));
  if (owner == 0) owner = services.foregroundWindow();
  skipOnError([&] { services.changePassword(owner); });
}

}  // namespace

Mode modeFromCommandLine(const std::string& commandLine) {
  const std::string mode = upperCasedPrefix(commandLine, 2);
  if (mode == "/S") return Mode::Show;
  if (mode == "/C") return Mode::Configure;
  if (mode == "/A") return Mode::ChangePassword;
  if (mode == "/P") return Mode::Preview;
  return Mode::Nothing;
}

std::int32_t readHandleNumber(const std::string& text) {
  const std::string trimmed = trimmedBlanks(text);
  std::string number = trimmed.substr(0, leadingNumberLength(trimmed));
  if (number.empty()) return 0;
  // from_chars takes no '+' and is independent of the locale the toolkit sets.
  if (number.front() == '+') number.erase(0, 1);
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return 0;
  try {
    return roundEven(value);
  } catch (const OverflowError&) {
    return 0;
  }
}

int runModule1(const std::string& commandLine, const std::string& executablePath,
               StartupServices& services, StartupState& state,
               const std::optional<HostWindow>& host) {
  const ProgramPaths paths = programPathsFor(executablePath);
  if (services.anotherCopyRunning(paths.ownFile)) return 0;
  skipOnError([&] { state.record = services.readPackage(paths.ownFile); });
  state.SetFilePath = paths.settingsFile;
  skipOnError([&] {
    const SettingsSwitches switches = services.readSettings(state.SetFilePath);
    state.BgmOn = switches.BgmOn;
    state.SoundOn = switches.SoundOn;
  });

  const Mode mode = host ? Mode::Show : modeFromCommandLine(commandLine);
  if (mode == Mode::Preview || mode == Mode::Nothing) return 0;
  if (mode == Mode::Show) return runShowMode(services, state, host);
  if (!displayOpened(services)) return kNoWindow;
  switch (mode) {
    case Mode::Configure:
      skipOnError([&] { runConfigureMode(services, state); });
      break;
    case Mode::ChangePassword:
      runChangePasswordMode(services, commandLine);
      break;
    case Mode::Show:
    case Mode::Preview:
    case Mode::Nothing:
      break;
  }
  return 0;
}

}  // namespace kamishibai
