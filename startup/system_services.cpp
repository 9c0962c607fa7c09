// Kamishibai: start-up services over the platform layer, the package reader and the show.
#include "startup/system_services.h"

#include <exception>
#include <iostream>

#include "base/file_names.h"
#include "platform/display.h"
#include "platform/end_signals.h"
#include "platform/message_box.h"
#include "platform/password_dialog.h"
#include "platform/running_program.h"
#include "platform/settings_dialog.h"
#include "platform/source_file.h"
#include "platform/translate.h"
#include "platform/user_folders.h"

namespace kamishibai {

bool SystemServices::anotherCopyRunning(const std::string& ownFile) {
  lock_ = std::make_unique<InstanceLock>(ownFile);
  // A lock that cannot be had anywhere does not keep the saver from running, but is not silent.
  if (lock_->state() == InstanceLock::State::Unavailable) {
    std::cerr << programName()
              << ": no running-copy lock can be made in the runtime or the cache "
                 "folder; another copy may run at the same time\n";
  }
  return lock_->state() == InstanceLock::State::HeldByAnotherCopy;
}

PackageRecord SystemServices::readPackage(const std::string& ownFile) {
  return kamishibai::readPackage(openSourceFile(pathFromUtf8(ownFile)));
}

SettingsFiles SystemServices::settingsFiles(const std::string& besideFile) {
  const std::u8string saverFolder = pathFromUtf8(besideFile).parent_path().u8string();
  const auto folder = userSettingsFolder({saverFolder.begin(), saverFolder.end()});
  return {besideFile, folder ? userSettingsFile(*folder, besideFile) : std::string()};
}

SettingsSwitches SystemServices::readSettings(const std::string& settingsFile) {
  return readSettingsFile(settingsFileToRead(settingsFiles(settingsFile)));
}

bool SystemServices::openDisplay() {
  return kamishibai::openDisplay();
}

void SystemServices::showMessage(const std::string& prompt, const std::string& title) {
  showMessageBox(prompt, title, MessageIcon::Information);
}

void SystemServices::runSettingsDialog(const std::string& settingsFile, SettingsSwitches shown) {
  const auto choice = runFrmSetting({shown.BgmOn != 0, shown.SoundOn != 0});
  if (!choice) return;
  const SettingsFiles files = settingsFiles(settingsFile);
  try {
    saveSettings(files, choice->bgmOn, choice->soundOn);
  } catch (const std::exception& error) {
    showMessageBox(
        settingsSaveFailure(files.user.empty() ? files.beside : files.user, error.what()),
        tr("設定"), MessageIcon::Exclamation);
  }
}

std::int32_t SystemServices::foregroundWindow() {
  return kamishibai::foregroundWindow();
}

void SystemServices::changePassword(std::int32_t ownerWindow) {
  runPasswordChangeDialog(ownerWindow);
}

std::optional<std::string> SystemServices::workFoldersParent() {
  return kamishibai::workFoldersParent();
}

std::optional<std::string> SystemServices::fallbackWorkFoldersParent() {
  return kamishibai::fallbackWorkFoldersParent();
}

void SystemServices::watchEndSignals() {
  kamishibai::watchEndSignals();
}

bool SystemServices::endSignalled() {
  return endSignalReceived() != 0;
}

void SystemServices::prepareShow(const ShowInputs& inputs) {
  preparedShow_ = std::make_unique<PreparedForm1>(inputs);
  preparedFor_ = &inputs;
}

bool SystemServices::runShow(const ShowInputs& inputs) {
  if (!preparedShow_ || preparedFor_ != &inputs) return loadForm1(inputs);
  const std::unique_ptr<PreparedForm1> show = std::move(preparedShow_);
  return show->load();
}

}  // namespace kamishibai
