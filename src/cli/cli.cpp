// Dispatch, help and the one place where failures become exit statuses.
#include "cli/cli.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <new>
#include <ostream>

#include "cli/gamefolder.h"
#include "cli/terminal.h"
#include "cli/text.h"
#include "colorfile/color_store.h"

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
         "Exit status: 0 success, 1 failed and the game's files were not written,\n"
         "2 bad usage, 3 a counter overflowed (a line of more than 32767 words,\n"
         "nesting deeper than 32766 levels), 4 check found players that are hard to\n"
         "tell apart, 5 the colours were saved but what followed failed (deleting\n"
         "playercolors.xmb, or printing the report).\n";
}

// The one way a failure reaches the user: a single line, with nothing in it
// that the terminal would take as a command.
int Fail(std::ostream& err, int status, const std::string& message) {
  err << "error: " << EscapeControls(OneLine(message)) << "\n";
  return status;
}

// A command that failed after writing the game's file did not fail to save.
int Failed(const CliEnv& env) { return env.savedTo.empty() ? kExitFile : kExitSavedBut; }

int Run(const CliCommand& command, const std::vector<std::string>& rest, CliEnv& env) {
  try {
    AcceptedArgs accepted = command.accepted;
    if (command.findsGame)
      accepted.options.insert(accepted.options.end(), {kDataDirOption, kWinePrefixOption});
    const Args args = ParseArgs(rest, accepted);
    if (args.Has("--help")) {
      env.out << command.help;
      if (command.findsGame) env.out << "\n" << kLocationHelp;
      return kExitOk;
    }
    return command.run(args, env);
  } catch (const UsageError& e) {
    return Fail(
        env.err, kExitUsage,
        std::string(e.what()) + " (usage: tintmoor-cli " + command.name + " " + command.args + ")");
  } catch (const OverflowError& e) {
    return Fail(env.err, kExitOverflow, e.what());
  } catch (const ColorFileOverflowError& e) {
    return Fail(env.err, kExitOverflow, e.what());
  } catch (const ColorFileError& e) {
    // The new file is in place; only the xmb stayed behind.
    return Fail(env.err, e.step() == ColorFileStep::kDeleteXmb ? kExitSavedBut : Failed(env),
                e.what());
  } catch (const TintError& e) {
    return Fail(env.err, Failed(env), e.what());
  } catch (const std::bad_alloc&) {
    return Fail(env.err, Failed(env), "out of memory");
  } catch (const std::exception& e) {
    return Fail(env.err, Failed(env), e.what());
  }
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliEnv& env) {
  const std::vector<CliCommand> commands = AllCommands();
  if (args.empty()) return Fail(env.err, kExitUsage, "no command given (see tintmoor-cli --help)");
  const std::string& name = args[0];
  int status = kExitOk;
  if (name == "--help" || name == "-h" || name == "help") {
    PrintHelp(env.out, commands);
  } else {
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const CliCommand& c) { return name == c.name; });
    if (command == commands.end())
      return Fail(env.err, kExitUsage,
                  "unknown command \"" + Shown(name) + "\" (see tintmoor-cli --help)");
    status = Run(*command, std::vector<std::string>(args.begin() + 1, args.end()), env);
  }
  // A report that did not arrive is a failure, whatever the command found;
  // a command that already failed has said so. Once the game's file was
  // written, that failure must not read as "nothing was written".
  env.out.flush();
  if (!env.out && (status == kExitOk || status == kExitClosePairs)) {
    status = env.savedTo.empty()
                 ? Fail(env.err, kExitFile, "cannot write to standard output")
                 : Fail(env.err, kExitSavedBut,
                        "the new colours are in " + env.savedTo +
                            ", but the report of the changes could not be written to standard "
                            "output");
  }
  return status;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliEnv env{out, err, std::cin, SystemFileSystem(), &out == &std::cout && StdoutShowsTrueColour()};
  return RunCli(args, env);
}
