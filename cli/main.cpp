// kestrune-cli: converts PSpice 7.1 schematics from the shell, one Convert command per file.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_sink.h"
#include "engine/conversion_engine.h"
#include "res/version.h"

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitErrorShown = 1;
constexpr int kExitUsage = 2;

void PrintHelp() {
  std::printf(
      "Usage: kestrune-cli [--ini PATH] [--backup] [--embedded] [--trace] [--] FILE...\n"
      "Rewrites each PSpice 7.1 schematic FILE in place so that release 6.1 opens it.\n\n"
      "  --ini PATH   the design tools' INI file (default %s)\n"
      "  --backup     keep the previous contents beside each file as *.P71\n"
      "  --embedded   also convert the nested schematics that parts lead to\n"
      "  --trace      print every status, error and closing text to standard output\n"
      "  --help       show this text\n"
      "  --version    show the version\n\n"
      "Exit status: 0 converted, 1 an error was shown, 2 usage error.\n",
      kestrune::kDefaultIniPath);
}

}  // namespace

int main(int argc, char** argv) {
  using kestrune::CommandLine;
  const CommandLine command =
      kestrune::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (command.action) {
    case CommandLine::Action::kHelp: PrintHelp(); return kExitConverted;
    case CommandLine::Action::kVersion:
      std::printf("kestrune-cli %s (%s)\n", KESTRUNE_VERSION_TEXT, KESTRUNE_PRODUCT_NAME);
      return kExitConverted;
    case CommandLine::Action::kUsageError:
      std::fprintf(stderr, "kestrune-cli: %s\nTry 'kestrune-cli --help'.\n", command.error.c_str());
      return kExitUsage;
    case CommandLine::Action::kConvert: break;
  }
  std::unique_ptr<kestrune::ConsoleSink> sink = command.trace
                                                    ? std::make_unique<kestrune::TraceSink>()
                                                    : std::make_unique<kestrune::ConsoleSink>();
  // Megabytes, and allocation-free: static storage, one engine for every file.
  static kestrune::ConversionEngine engine(kestrune::SystemPlatform(), *sink);
  for (const std::string& file : command.files) {
    engine.RunConversion(file.c_str(), command.ini_path.c_str(), command.backups ? 1 : 0,
                         command.embedded ? 1 : 0);
  }
  return sink->error_shown() ? kExitErrorShown : kExitConverted;
}
