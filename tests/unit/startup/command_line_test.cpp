// Kamishibai: the command line: the host options and their window ids, help and version, and
// the switch that start-up reads from everything else.
#include <gtest/gtest.h>

#include "startup/command_line.h"

namespace kamishibai {
namespace {

using Kind = Invocation::Kind;

TEST(CommandLine, HostOptionsInEitherDashForm) {
  for (const char* root : {"-root", "--root"}) {
    const Invocation invocation = parseInvocation({root});
    EXPECT_EQ(invocation.kind, Kind::Hosted) << root;
    EXPECT_EQ(invocation.host.kind, HostWindow::Kind::Root) << root;
  }
  const Invocation hex = parseInvocation({"-window-id", "0x2A00007"});
  EXPECT_EQ(hex.kind, Kind::Hosted);
  EXPECT_EQ(hex.host.kind, HostWindow::Kind::Given);
  EXPECT_EQ(hex.host.id, 0x2a00007u);
  EXPECT_EQ(parseInvocation({"--window-id", "44040199"}).host.id, 44040199u);
}

TEST(CommandLine, BadWindowIdsAreRefused) {
  EXPECT_EQ(parseInvocation({"-window-id"}).kind, Kind::Invalid);
  for (const char* id : {"", "0", "0x", "0x0", "12ab", "-5", " 42", "0x1g", "0x100000000"}) {
    const Invocation invocation = parseInvocation({"-window-id", id});
    EXPECT_EQ(invocation.kind, Kind::Invalid) << id;
    EXPECT_FALSE(invocation.problem.empty()) << id;
  }
}

TEST(CommandLine, HelpAndVersion) {
  EXPECT_EQ(parseInvocation({"--help"}).kind, Kind::Help);
  EXPECT_EQ(parseInvocation({"-help"}).kind, Kind::Help);
  EXPECT_EQ(parseInvocation({"--version"}).kind, Kind::Version);
  const std::string help = helpText("demo.scr");
  for (const char* option :
       {"demo.scr", "/S", "/C", "/A", "/P", "-root", "-window-id", "--version"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(versionText("demo.scr").rfind("demo.scr (Kamishibai) ", 0), 0u);
}

// Everything else, the first argument's look-alikes included, is a screen saver's switch.
TEST(CommandLine, EverythingElseIsTheSwitchText) {
  for (const std::vector<std::string>& other :
       std::vector<std::vector<std::string>>{{"/s", "extra"},
                                             {"/c:1234"},
                                             {},
                                             {"-window"},
                                             {"-rooted"},
                                             {"/S--help"},
                                             {"help"},
                                             {"/P", "--help"}}) {
    EXPECT_EQ(parseInvocation(other).kind, Kind::Switch) << ::testing::PrintToString(other);
  }
}

}  // namespace
}  // namespace kamishibai
