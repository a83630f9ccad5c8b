// Dispatch, help and the one place where failures become exit statuses.
#include <algorithm>
#include <exception>
#include <new>
#include <ostream>

#include "cli/cli.h"

namespace {

void PrintHelp(std::ostream& out, const std::vector<CliCommand>& commands) {
  out << "Usage: tintmoor-cli COMMAND [ARGUMENTS]\n"
         "       tintmoor-cli --help\n"
         "\n"
         "Commands:\n";
  size_t width = 0;
  for (const CliCommand& c : commands)
    width = std::max(width, std::string(c.name).size() + 1 + std::string(c.args).size());
  for (const CliCommand& c : commands) {
    std::string head = std::string(c.name) + " " + c.args;
    out << "  " << head << std::string(width - head.size() + 2, ' ') << c.summary << "\n";
  }
  out << "\n"
         "Markup files are read and written as bytes, without any character-set\n"
         "conversion. Output lines end in LF; files written by format end in CR LF,\n"
         "as the program saves them.\n"
         "\n"
         "Each command explains itself: tintmoor-cli COMMAND --help. Commands that\n"
         "read or write the game's colour file find it as the window does, or take\n"
         "--data-dir DIR"
#ifndef _WIN32
         " or --wine-prefix DIR"
#endif
         ".\n"
         "\n"
         "Exit status: 0 success, 1 a file cannot be read (or written), 2 bad usage,\n"
         "3 a counter overflowed (a line of more than 32767 words, nesting deeper\n"
         "than 32766 levels), 4 check found players that are hard to tell apart.\n";
}

int Fail(std::ostream& err, int status, const std::string& message) {
  err << "error: " << message << "\n";
  return status;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::vector<CliCommand> commands = AllCommands();
  if (args.empty()) return Fail(err, kExitUsage, "no command given (see tintmoor-cli --help)");
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintHelp(out, commands);
    return kExitOk;
  }
  const CliCommand* command = nullptr;
  for (const CliCommand& c : commands)
    if (name == c.name) command = &c;
  if (!command)
    return Fail(err, kExitUsage, "unknown command \"" + name + "\" (see tintmoor-cli --help)");
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  try {
    return command->run(rest, out, err);
  } catch (const UsageError& e) {
    return Fail(err, kExitUsage,
                std::string(e.what()) + " (usage: tintmoor-cli " + command->name + " " +
                    command->args + ")");
  } catch (const OverflowError& e) {
    return Fail(err, kExitOverflow, e.what());
  } catch (const TintError& e) {
    return Fail(err, kExitFile, e.what());
  } catch (const std::bad_alloc&) {
    return Fail(err, kExitFile, "out of memory");
  } catch (const std::exception& e) {
    return Fail(err, kExitFile, e.what());  // a file too large to hold, for one
  }
}
