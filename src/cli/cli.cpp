// Dispatch, help and the one place where failures become exit statuses.
#include "cli/cli.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <new>
#include <ostream>

#include "cli/gamefolder.h"
#include "cli/terminal.h"
#include "colorfile/color_store.h"
#include "common/text.h"

namespace tintmoor::cli {

namespace {

void PrintCommands(std::ostream& out, std::span<const CliCommand> commands, size_t width) {
  for (const CliCommand& c : commands) {
    const std::string name = c.name;
    out << "  " << name << std::string(width - name.size() + 2, ' ') << c.summary << "\n";
  }
}

// What a player reads first: what the tool does, its commands, and where it
// looks for the game. Each command's own help holds its details.
void PrintHelp(std::ostream& out) {
  size_t width = 0;
  for (std::span<const CliCommand> group : {ColorCommands(), MarkupCommands()})
    for (const CliCommand& c : group) width = std::max(width, std::string(c.name).size());
  out << "Usage: tintmoor-cli COMMAND [ARGUMENTS]\n"
         "\n"
         "Changes the player colors of Age of Mythology as the Tintmoor window does,\n"
         "checks that every player can tell them apart, and shares color schemes.\n"
         "Quit the game first: it reads its colors only when it starts.\n"
         "\n"
         "Commands:\n";
  PrintCommands(out, ColorCommands(), width);
  out << "\n"
         "Looking at any markup file:\n";
  PrintCommands(out, MarkupCommands(), width);
  out << "\n"
         "Options:\n"
         "  -h, --help        show this help; tintmoor-cli COMMAND --help shows the\n"
         "                    arguments of one command\n"
         "  -V, --version     show the version\n"
         "\n"
         "The commands find the game's color file as the window does"
#ifdef _WIN32
         ", through the game's\n"
         "registry entry; --data-dir DIR names its data folder instead.\n"
#else
         ": in the Wine\n"
         "prefix in $WINEPREFIX, or ~/.wine. --wine-prefix DIR names another prefix,\n"
         "--data-dir DIR the game's data folder.\n"
#endif
         "\n"
         "Examples:\n"
         "  tintmoor-cli list                           show the game's colors\n"
         "  tintmoor-cli set \"Player 1\" unit '#3366ff'  make Player 1 blue\n"
         "  tintmoor-cli check                          can every player tell them apart?\n"
         "  tintmoor-cli apply colour-vision            colors every player can tell apart\n"
         "\n"
         "Exit status:\n"
         "  0  done\n"
         "  1  failed; the game's files were not written\n"
         "  2  a mistake in the command line\n"
         "  3  a file holds a line too long to read\n"
         "  4  check found players that are hard to tell apart\n"
         "  5  the colors were saved, but what followed failed\n";
}

// The one way a failure reaches the user: a single line, with nothing in it
// that the terminal would take as a command.
int Fail(std::ostream& err, int status, const std::string& message) {
  err << "error: " << common::EscapeControls(common::OneLine(message)) << "\n";
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
  } catch (const common::OverflowError& e) {
    return Fail(env.err, kExitOverflow, e.what());
  } catch (const colorfile::ColorFileOverflowError& e) {
    return Fail(env.err, kExitOverflow, e.what());
  } catch (const colorfile::ColorFileError& e) {
    // The new file is in place; only the xmb stayed behind.
    return Fail(env.err,
                e.step() == colorfile::ColorFileStep::kDeleteXmb ? kExitSavedBut : Failed(env),
                e.what());
  } catch (const common::TintError& e) {
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
    PrintHelp(env.out);
  } else if (name == "--version" || name == "-V") {
    env.out << "tintmoor-cli " TINTMOOR_VERSION "\n";
  } else {
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const CliCommand& c) { return name == c.name; });
    if (command == commands.end())
      return Fail(env.err, kExitUsage,
                  "unknown command \"" + common::Shown(name) + "\" (see tintmoor-cli --help)");
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
                        "the new colors are in " + env.savedTo +
                            ", but the report of the changes could not be written to standard "
                            "output");
  }
  return status;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliEnv env{out, err, std::cin, colorfile::SystemFileSystem(),
             &out == &std::cout && StdoutShowsTrueColour()};
  return RunCli(args, env);
}

}  // namespace tintmoor::cli
