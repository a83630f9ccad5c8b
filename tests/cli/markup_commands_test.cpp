// tintmoor-cli dump and format, driven through RunCli as main drives it:
// output, the "error: " line and the exit status. The files kept in data/ are
// compared byte for byte through the real program (run_cli.cmake).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/cli.h"
#include "cli/markup_dump.h"

namespace tintmoor::cli {

namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result Cli(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

// Writes bytes to a scratch file for one test.
std::string Scratch(const std::string& name, const std::string& bytes) {
  std::string path = (fs::path(testing::TempDir()) / name).string();
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(MarkupCommands, IssueExampleDump) {
  std::string path = Scratch("issue.xml", "<a x=\"1\">\r\n<b>2</b>\r\n</a>");
  EXPECT_EQ(Cli({"dump", path}).out,
            "root open\n"
            "\"a\" closed \"x\"=\"1\" : \"\"\n"
            "  \"b\" closed : \"2\"\n");
}

TEST(MarkupCommands, DumpShowsAClosedRootAndEmptyFiles) {
  EXPECT_EQ(Cli({"dump", Scratch("closed.xml", "</x>\n<a>\n<b>\n")}).out,
            "root closed\n\"a\" open : \"\"\n\"b\" open : \"\"\n");
  EXPECT_EQ(Cli({"dump", Scratch("empty.xml", "")}).out, "root open\n");
  EXPECT_EQ(Cli({"format", Scratch("empty2.xml", "")}).out,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n");
}

TEST(Quote, EscapesAsDocumented) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "\"\""},
      {"plain text ~!", "\"plain text ~!\""},
      {"\"", "\"\\\"\""},
      {"\\", "\"\\\\\""},
      {"\t\r\n", "\"\\t\\r\\n\""},
      {std::string("\0\x1f\x7f\x80\xff", 5), "\"\\x00\\x1f\\x7f\\x80\\xff\""},
      {"\xc3\xa9", "\"\\xc3\\xa9\""},
  };
  for (const auto& [text, quoted] : cases) EXPECT_EQ(Quote(text), quoted);
}

TEST(Cli, UsageErrorsAndHelp) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* err;  // the whole standard error, or null to skip
  };
  const Case cases[] = {
      {{}, 2, "error: no command given (see tintmoor-cli --help)\n"},
      {{"frob"}, 2, "error: unknown command \"frob\" (see tintmoor-cli --help)\n"},
      {{"dump"}, 2, "error: no FILE given (usage: tintmoor-cli dump FILE)\n"},
      {{"format", "a", "b"},
       2,
       "error: more than one FILE given (usage: tintmoor-cli format FILE)\n"},
      {{"--help"}, 0, ""},
      {{"-h"}, 0, ""},
      {{"--version"}, 0, ""},
      {{"-V"}, 0, ""},
      {{"--version", "x"}, 0, ""},
  };
  for (const auto& c : cases) {
    Result r = Cli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
  }
  for (const char* command : {"dump", "format"}) {
    Result r = Cli({command, "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind(std::string("Usage: tintmoor-cli ") + command + " FILE\n", 0), 0u);
  }
  std::string help = Cli({"--help"}).out;
  EXPECT_NE(help.find("\n  dump "), std::string::npos);
  EXPECT_NE(help.find("\n  format "), std::string::npos);
  EXPECT_EQ(Cli({"-h"}).out, help);
  // The players' help leaves the reader's internals to dump and format.
  for (const char* internal : {"16-bit", "32767", "bytes", "character-set"}) {
    EXPECT_EQ(help.find(internal), std::string::npos) << internal;
    EXPECT_NE((Cli({"dump", "--help"}).out + Cli({"format", "--help"}).out).find(internal),
              std::string::npos)
        << internal;
  }
  const std::string version = Cli({"--version"}).out;
  EXPECT_TRUE(std::regex_match(version, std::regex("tintmoor-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << version;
  EXPECT_EQ(Cli({"-V"}).out, version);
}

TEST(Cli, FileAndOverflowErrors) {
  const std::string missing = (fs::path(testing::TempDir()) / "no-such.xml").string();
  for (const char* command : {"dump", "format"}) {
    Result r = Cli({command, missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("error: Cannot read \"" + missing + "\": ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.back(), '\n');
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);  // one line
  }
  std::string wide = "<a>";
  for (int i = 0; i < 40000; ++i) wide += "x ";
  std::string widePath = Scratch("wide.xml", "<ok/>\r\n" + wide + "\r\n");
  Result r = Cli({"dump", widePath});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "error: Word count overflowed: line 2 of \"" + widePath +
                       "\" has more than 32767 words\n");

  std::string deep;
  for (int i = 0; i < 32768; ++i) deep += "<d>\n";
  r = Cli({"format", Scratch("deep.xml", deep)});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "error: Nesting depth overflowed: element \"d\" at depth 32767 cannot be indented (at "
            "most 32766 levels)\n");
}

}  // namespace

}  // namespace tintmoor::cli
