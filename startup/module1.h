// Kamishibai: Module1, the start-up: one running copy, the package and the settings, then the
// mode from the command line: the show, the settings, the password change, or nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formats/package.h"
#include "show/form1.h"
#include "startup/settings.h"

namespace kamishibai {

enum class Mode { Show, Configure, ChangePassword, Preview, Nothing };

// The first two characters of the command-line text, upper-cased, compared with "/S", "/C",
// "/A" and "/P" in this order.
Mode modeFromCommandLine(const std::string& commandLine);

// The number of the "/A" text (what follows the switch): blanks trimmed, then a leading decimal
// number, optionally signed, with an optional fraction, read up to the first character that
// cannot continue it, rounded half to even. No number, or one outside int32, gives 0.
std::int32_t readHandleNumber(const std::string& text);

// What start-up needs of the system, so that tests can stand in for it.
class StartupServices {
 public:
  virtual ~StartupServices() = default;
  // True when another copy of the program with this own file is running.
  virtual bool anotherCopyRunning(const std::string& ownFile) = 0;
  virtual PackageRecord readPackage(const std::string& ownFile) = 0;
  virtual SettingsSwitches readSettings(const std::string& settingsFile) = 0;
  // Opens the display for the modes that show windows; false when none can be opened.
  virtual bool openDisplay() = 0;
  // A modal message box with the information icon and an OK button.
  virtual void showMessage(const std::string& prompt, const std::string& title) = 0;
  // frmSetting, modal; OK saves the choice to the settings file.
  virtual void runSettingsDialog(const std::string& settingsFile, SettingsSwitches shown) = 0;
  virtual std::int32_t foregroundWindow() = 0;
  // The password change, its dialog owned by that window.
  virtual void changePassword(std::int32_t ownerWindow) = 0;
  // The folder the work folders are made in; nullopt when none can be had.
  virtual std::optional<std::string> workFoldersParent() = 0;
  // Where the work folder goes when none can be created in the folder above; nullopt for none.
  virtual std::optional<std::string> fallbackWorkFoldersParent() = 0;
  // From now on the system's end signals (a daemon's stop, a logout) ask for an orderly end
  // instead of killing the program.
  virtual void watchEndSignals() = 0;
  // True once such a signal has arrived.
  virtual bool endSignalled() = 0;
  // Gets the show ready while the work files are unpacked: whatever does not show anything yet
  // (by default nothing). The inputs stay alive until runShow.
  virtual void prepareShow(const ShowInputs&) {}
  // Loads Form1, the one prepared for these inputs if any: returns when the show has ended; false
  // when it had no window to run in.
  virtual bool runShow(const ShowInputs& inputs) = 0;
};

// The process-wide state that start-up fills and that lives until the program ends.
struct StartupState {
  PackageRecord record;
  std::string SetFilePath;
  std::int16_t BgmOn = 0;
  std::int16_t SoundOn = 0;
  std::string WorkDir;
};

// Runs start-up for the command-line text and the running executable's path; returns the
// program's exit status (non-zero only when a window is needed and no display can be opened, or
// the show found no window to run in).
// After an end signal the show mode ends in order (work folder removed) and returns; the caller
// then ends the process as the signal would have.
// With a host window the mode is the show, inside that window.
int runModule1(const std::string& commandLine, const std::string& executablePath,
               StartupServices& services, StartupState& state,
               const std::optional<HostWindow>& host = std::nullopt);

}  // namespace kamishibai
