// dump and format: the reader's tree shown one element per line, and the
// writer's bytes for it.
#include <memory>
#include <ostream>
#include <vector>

#include "cli/cli.h"
#include "cli/markup_dump.h"
#include "colorfile/color_store.h"
#include "common/file_io.h"
#include "markup/reader.h"
#include "markup/writer.h"

namespace tintmoor::cli {

namespace {

const std::string& OneFile(const Args& args) {
  if (args.positionals.size() != 1)
    throw UsageError(args.positionals.empty() ? "no FILE given" : "more than one FILE given");
  return args.positionals[0];
}

// Reads a file as a load does: into a fresh, open root; no larger than a
// colour file may be.
std::unique_ptr<markup::Element> Load(const std::string& path) {
  auto root = std::make_unique<markup::Element>();
  root->set_open(true);
  markup::ReadMarkup(common::ReadFileBytes(path, colorfile::kMaxColorFileBytes), *root, path);
  return root;
}

int RunDump(const Args& args, CliEnv& env) {
  DumpTree(*Load(OneFile(args)), env.out);
  return kExitOk;
}

int RunFormat(const Args& args, CliEnv& env) {
  // The whole text is made before any of it is printed, so an overflow prints nothing.
  const std::string bytes = markup::WriteDocument(*Load(OneFile(args)));
  env.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return kExitOk;
}

const char* const kDumpHelp =
    "Usage: tintmoor-cli dump FILE\n"
    "\n"
    "Reads FILE as the program loads the color file and prints the tree:\n"
    "\"root open\" or \"root closed\", then one line per element, depth first,\n"
    "indented two spaces per level: the quoted name, open or closed, each\n"
    "attribute as \"name\"=\"value\", then \" : \" and the quoted text. Quoted\n"
    "texts escape \\\" \\\\ \\t \\r \\n, and any other byte outside 0x20-0x7E\n"
    "as \\xNN. (A file named --help: write ./--help.)\n"
    "\n"
    "FILE is read as bytes, without any character-set conversion; output lines\n"
    "end in LF on every system. Exit status 0 done, 1 FILE cannot be read, 2 bad\n"
    "usage, 3 a 16-bit counter of the reader overflowed (a line of more than\n"
    "32767 words).\n";

const char* const kFormatHelp =
    "Usage: tintmoor-cli format FILE\n"
    "\n"
    "Reads FILE as the program loads the color file and prints the bytes a\n"
    "save would write: the declaration line, an empty line, then one line per\n"
    "element, indented by tabs, every line ended by CR LF.\n"
    "\n"
    "Bytes in, bytes out: no character-set conversion. Exit status 0 done, 1 FILE\n"
    "cannot be read, 2 bad usage, 3 a 16-bit counter overflowed (a line of more\n"
    "than 32767 words, or nesting deeper than 32766 levels).\n";

const CliCommand kMarkupCommands[] = {
    {"dump",
     "FILE",
     "print the tree read from a file, one element per line",
     {},
     kDumpHelp,
     false,
     RunDump},
    {"format",
     "FILE",
     "read a file and print it as a save would write it",
     {},
     kFormatHelp,
     false,
     RunFormat},
};

}  // namespace

std::span<const CliCommand> MarkupCommands() { return kMarkupCommands; }

}  // namespace tintmoor::cli
