// Kamishibai: the packer's manual page and the README describe every option of every command
// and every key a manifest may hold, as the code knows them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "tools/commands.h"
#include "tools/manifest.h"

namespace kamishibai {
namespace {

std::string sourceText(const char* file) {
  std::ifstream in(std::string(KAMISHIBAI_SOURCE_DIR) + "/" + file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool mentions(const std::string& text, const std::string& word) {
  return std::regex_search(text, std::regex("(^|[^a-z_])" + word + "([^a-z_]|$)"));
}

TEST(Documents, TheManualPageGivesEveryOptionOfEveryCommand) {
  const std::string page = sourceText("man/kamishibai-pack.pod");
  CLI::App app;
  addInitCommand(app);
  addBuildCommand(app);
  addInfoCommand(app);
  addExtractCommand(app);
  addRenderCommands(app);
  for (const CLI::App* command : app.get_subcommands({})) {
    EXPECT_NE(page.find("B<kamishibai-pack " + command->get_name() + ">"), std::string::npos)
        << command->get_name();
    for (const CLI::Option* option : command->get_options()) {
      if (option->get_lnames().empty() || option->get_lnames().front() == "help") continue;
      // The long name or the short one, as the page gives the option.
      bool given = false;
      for (const std::string& name : option->get_lnames()) {
        given = given || page.find("B<--" + name + ">") != std::string::npos;
      }
      for (const std::string& name : option->get_snames()) {
        given = given || page.find("B<-" + name + ">") != std::string::npos;
      }
      EXPECT_TRUE(given) << command->get_name() << " " << option->get_name();
    }
  }
}

TEST(Documents, TheManualPageAndTheReadmeGiveEveryManifestKey) {
  const std::string page = sourceText("man/kamishibai-pack.pod");
  const std::string readme = sourceText("README.md");
  ASSERT_FALSE(page.empty() || readme.empty());
  for (const std::string_view key : manifestKeys()) {
    EXPECT_TRUE(mentions(page, std::string(key))) << "the manual page lacks " << key;
    EXPECT_TRUE(mentions(readme, std::string(key))) << "the README lacks " << key;
  }
}

}  // namespace
}  // namespace kamishibai
