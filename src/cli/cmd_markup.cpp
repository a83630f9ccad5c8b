// dump and format: the reader's tree shown one element per line, and the
// writer's bytes for it.
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "cli/markup_dump.h"
#include "markup/reader.h"
#include "markup/writer.h"

namespace {

const std::string& OneFile(const std::vector<std::string>& args) {
  if (args.size() != 1)
    throw UsageError(args.empty() ? "no FILE given" : "more than one FILE given");
  return args[0];
}

// Reads a file as a load does: into a fresh, open root.
std::unique_ptr<markup::Element> Load(const std::string& path) {
  auto root = std::make_unique<markup::Element>();
  root->set_open(true);
  markup::LoadMarkupFile(path, *root);
  return root;
}

bool AsksForHelp(const std::vector<std::string>& args) {
  return args.size() == 1 && (args[0] == "--help" || args[0] == "-h");
}

int RunDump(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
  if (AsksForHelp(args)) {
    out << "Usage: tintmoor-cli dump FILE\n"
           "\n"
           "Reads FILE as the program loads the colour file and prints the tree:\n"
           "\"root open\" or \"root closed\", then one line per element, depth first,\n"
           "indented two spaces per level: the quoted name, open or closed, each\n"
           "attribute as \"name\"=\"value\", then \" : \" and the quoted text. Quoted\n"
           "texts escape \\\" \\\\ \\t \\r \\n, and any other byte outside 0x20-0x7E\n"
           "as \\xNN. (A file named --help: write ./--help.)\n";
    return kExitOk;
  }
  DumpTree(*Load(OneFile(args)), out);
  return kExitOk;
}

int RunFormat(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
  if (AsksForHelp(args)) {
    out << "Usage: tintmoor-cli format FILE\n"
           "\n"
           "Reads FILE as the program loads the colour file and prints the bytes a\n"
           "save would write: the declaration line, an empty line, then one line per\n"
           "element, indented by tabs, every line ended by CR LF.\n";
    return kExitOk;
  }
  // The whole text is made before any of it is printed, so an overflow prints nothing.
  const std::string bytes = markup::WriteDocument(*Load(OneFile(args)));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return kExitOk;
}

const CliCommand kCommands[] = {
    {"dump", "FILE", "print the tree read from FILE, one element per line", RunDump},
    {"format", "FILE", "read FILE and print it as a save would write it", RunFormat},
};

}  // namespace

std::span<const CliCommand> MarkupCommands() { return kCommands; }

std::string Quote(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string q = "\"";
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        q += "\\\"";
        break;
      case '\\':
        q += "\\\\";
        break;
      case '\t':
        q += "\\t";
        break;
      case '\r':
        q += "\\r";
        break;
      case '\n':
        q += "\\n";
        break;
      default:
        if (c >= 0x20 && c <= 0x7e) {
          q += ch;
        } else {
          q += "\\x";
          q += kHex[c >> 4];
          q += kHex[c & 15];
        }
    }
  }
  return q + "\"";
}

void DumpTree(const markup::Element& root, std::ostream& out) {
  out << (root.is_open() ? "root open\n" : "root closed\n");
  // Depth first in document order, with an explicit stack: a file may nest
  // far deeper than the stack would allow.
  std::vector<std::pair<const markup::Element*, size_t>> pending;
  const auto& top = root.children();
  for (int32_t i = top.Count(); i >= 1; --i) pending.emplace_back(&top.Item(i), 0);
  std::string line;
  while (!pending.empty()) {
    auto [e, depth] = pending.back();
    pending.pop_back();
    line.assign(2 * depth, ' ');
    line += Quote(e->name());
    line += e->is_open() ? " open" : " closed";
    for (const markup::Attribute& p : e->attributes()) {
      line += ' ';
      line += Quote(p.name());
      line += '=';
      line += Quote(p.value());
    }
    line += " : ";
    line += Quote(e->value());
    line += '\n';
    out << line;
    const auto& children = e->children();
    for (int32_t i = children.Count(); i >= 1; --i)
      pending.emplace_back(&children.Item(i), depth + 1);
  }
}
