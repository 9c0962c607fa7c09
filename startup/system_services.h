// Kamishibai: the start-up services as the running system provides them.
#pragma once

#include <memory>

#include "platform/instance_lock.h"
#include "startup/module1.h"

namespace kamishibai {

class SystemServices : public StartupServices {
 public:
  bool anotherCopyRunning(const std::string& ownFile) override;
  PackageRecord readPackage(const std::string& ownFile) override;
  SettingsSwitches readSettings(const std::string& settingsFile) override;
  bool openDisplay() override;
  void showMessage(const std::string& prompt, const std::string& title) override;
  void runSettingsDialog(const std::string& settingsFile, SettingsSwitches shown) override;
  std::int32_t foregroundWindow() override;
  void changePassword(std::int32_t ownerWindow) override;
  std::optional<std::string> workFoldersParent() override;
  std::optional<std::string> fallbackWorkFoldersParent() override;
  void watchEndSignals() override;
  bool endSignalled() override;
  void prepareShow(const ShowInputs& inputs) override;
  bool runShow(const ShowInputs& inputs) override;

 private:
  // The settings file beside the program and the user's one.
  static SettingsFiles settingsFiles(const std::string& besideFile);

  // Held until the program ends.
  std::unique_ptr<InstanceLock> lock_;
  // The show made ready by prepareShow, and the inputs it was made for.
  std::unique_ptr<PreparedForm1> preparedShow_;
  const ShowInputs* preparedFor_ = nullptr;
};

}  // namespace kamishibai
