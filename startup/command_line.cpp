// Kamishibai: reading the saver's command line.
#include "startup/command_line.h"

#include <charconv>
#include <cstdint>

#include "base/version.h"
#include "platform/translate.h"

namespace kamishibai {

namespace {

// "-name" and "--name" mean the same, as the programs of screen-saver hosts take either.
bool isOption(const std::string& argument, const std::string& name) {
  return argument == "-" + name || argument == "--" + name;
}

// A window id: decimal, or hexadecimal after "0x"; nullopt for anything else, for 0 and for
// values beyond the 32 bits of an X window id.
std::optional<std::uint64_t> windowId(const std::string& text) {
  std::string_view digits = text;
  int base = 10;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    digits.remove_prefix(2);
    base = 16;
  }
  std::uint32_t id = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id, base);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || id == 0) {
    return std::nullopt;
  }
  return id;
}

Invocation ofKind(Invocation::Kind kind) {
  Invocation invocation;
  invocation.kind = kind;
  return invocation;
}

Invocation invalid(std::string problem) {
  Invocation invocation = ofKind(Invocation::Kind::Invalid);
  invocation.problem = std::move(problem);
  return invocation;
}

Invocation hosted(HostWindow host) {
  Invocation invocation = ofKind(Invocation::Kind::Hosted);
  invocation.host = host;
  return invocation;
}

}  // namespace

Invocation parseInvocation(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return ofKind(Invocation::Kind::Switch);
  const std::string& first = arguments.front();
  if (isOption(first, "help")) return ofKind(Invocation::Kind::Help);
  if (isOption(first, "version")) return ofKind(Invocation::Kind::Version);
  if (isOption(first, "root")) return hosted({HostWindow::Kind::Root, 0});
  if (isOption(first, "window-id")) {
    const auto id = arguments.size() > 1 ? windowId(arguments[1]) : std::nullopt;
    if (!id)
      return invalid(
          tr("-window-id の後にウィンドウの番号（10 進数または 0x で始まる 16 進数）が必要です。"));
    return hosted({HostWindow::Kind::Given, *id});
  }
  return ofKind(Invocation::Kind::Switch);
}

std::string helpText(const std::string& programName) {
  struct Line {
    const char* usage;
    const char* description;
  };
  const Line lines[] = {
      {"/S", N_("スライドショーを全画面で表示します。キー、マウスのボタンまたはマウスの移動で終わり"
                "ます。")},
      {"/C", N_("設定ダイアログ（BGM と効果音のオン・オフ）を開きます。")},
      {"/A [HANDLE]", N_("スクリーンセーバーのパスワードを設定、変更または解除します。")},
      {"/P", N_("何もしません（プレビュー）。")},
      {"-root",
       N_("スクリーンセーバーのホストのウィンドウ（$XSCREENSAVER_"
          "WINDOW）の中で、なければルートウィンドウの中で表示します。入力とロックはホストが扱います"
          "。")},
      {"-window-id ID", N_("番号 ID のウィンドウの中で表示します。")},
      {"--help", N_("このヘルプを表示します。")},
      {"--version", N_("バージョンを表示します。")},
  };
  std::string text =
      std::string(tr("使い方:")) + " " + programName + " " +
      "{/S | /C | /A [HANDLE] | /P | -root | -window-id ID | --help | --version}\n\n";
  for (const Line& line : lines) {
    std::string usage = "  " + std::string(line.usage);
    usage.resize(18, ' ');
    text += usage + tr(line.description) + "\n";
  }
  text += std::string("\n") +
          tr("設定はプログラムと同じフォルダーの NAME.set に、そこに書けないときは "
             "$XDG_CONFIG_HOME/kamishibai/NAME.set に保存されます。") +
          "\n" + tr("詳しくは man kamishibai を参照してください。") + "\n";
  return text;
}

std::string versionText(const std::string& programName) {
  return programName + " (Kamishibai) " + kVersion + "\n";
}

}  // namespace kamishibai
