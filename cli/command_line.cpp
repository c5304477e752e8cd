// The batch front end's arguments.
#include "cli/command_line.h"

#include "res/version.h"

namespace kestrune {
namespace {

struct Option {
  const char* name;
  char letter;              // '\0': long form only
  bool CommandLine::*flag;  // null for --ini, --help and --version
};

// --ini is the only option with a value.
constexpr Option kOptions[] = {
    {"backup", 'b', &CommandLine::backups},
    {"embedded", 'e', &CommandLine::embedded},
    {"trace", '\0', &CommandLine::trace},
    {"quiet", 'q', &CommandLine::quiet},
    {"dry-run", 'n', &CommandLine::dry_run},
    {"recursive", 'r', &CommandLine::recursive},
    {"ini", 'i', nullptr},
    {"help", 'h', nullptr},
    {"version", '\0', nullptr},
};

CommandLine UsageError(std::string message) {
  CommandLine parsed;
  parsed.action = CommandLine::Action::kUsageError;
  parsed.error = std::move(message);
  return parsed;
}

// The option named exactly, or else the only one the name begins; null if none or several.
const Option* FindLong(const std::string& name) {
  const Option* found = nullptr;
  for (const Option& option : kOptions) {
    if (name == option.name) return &option;
    if (std::string(option.name).rfind(name, 0) == 0) {
      if (found != nullptr) return nullptr;
      found = &option;
    }
  }
  return found;
}

const Option* FindShort(char letter) {
  for (const Option& option : kOptions) {
    if (option.letter == letter) return &option;
  }
  return nullptr;
}

// Reads the arguments one by one; a value may come from the next argument.
class Parser {
 public:
  explicit Parser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  CommandLine Parse() {
    bool options_end = false;
    for (next_ = 0; next_ < arguments_.size() && !Stopped();) {
      const std::string& argument = arguments_[next_++];
      if (options_end || argument.size() < 2 || argument[0] != '-') {
        parsed_.files.push_back(argument);
      } else if (argument == "--") {
        options_end = true;
      } else if (argument[1] == '-') {
        TakeLong(argument.substr(2));
      } else {
        TakeShortGroup(argument);
      }
    }
    if (!Stopped() && parsed_.files.empty()) return UsageError("no schematic file named");
    return parsed_;
  }

 private:
  bool Stopped() const { return parsed_.action != CommandLine::Action::kConvert; }

  void TakeLong(const std::string& text) {
    const std::size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    const Option* option = FindLong(name);
    if (option == nullptr) {
      parsed_ = UsageError("unknown or ambiguous option --" + name);
    } else if (option->letter == 'i') {
      if (equals != std::string::npos) {
        parsed_.ini_path = text.substr(equals + 1);
      } else {
        TakeIniFromNext("--ini");
      }
    } else if (equals != std::string::npos) {
      parsed_ = UsageError(std::string("option --") + option->name + " takes no value");
    } else {
      Apply(*option);
    }
  }

  void TakeShortGroup(const std::string& group) {
    for (std::size_t at = 1; at < group.size() && !Stopped(); ++at) {
      const Option* option = FindShort(group[at]);
      if (option == nullptr) {
        parsed_ = UsageError(std::string("unknown option -") + group[at]);
      } else if (option->letter == 'i') {
        if (at + 1 < group.size()) {
          parsed_.ini_path = group.substr(at + 1);
        } else {
          TakeIniFromNext("-i");
        }
        return;
      } else {
        Apply(*option);
      }
    }
  }

  void TakeIniFromNext(const char* spelled) {
    if (next_ == arguments_.size()) {
      parsed_ = UsageError(std::string("option ") + spelled + " needs a path");
    } else {
      parsed_.ini_path = arguments_[next_++];
    }
  }

  void Apply(const Option& option) {
    if (option.flag != nullptr) {
      parsed_.*option.flag = true;
    } else {
      parsed_.action =
          option.letter == 'h' ? CommandLine::Action::kHelp : CommandLine::Action::kVersion;
    }
  }

  const std::vector<std::string>& arguments_;
  std::size_t next_ = 0;
  CommandLine parsed_;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  return Parser(arguments).Parse();
}

std::string HelpText() {
  return std::string(
             "Usage: kestrune-cli [OPTION]... [--] FILE|FOLDER...\n"
             "Rewrites each PSpice 7.1 schematic in place so that release 6.1 opens it.\n"
             "A FOLDER stands for every *.sch file in it, in name order. Each file visited\n"
             "is listed once with what became of it; several files end with a summary.\n\n"
             "  -i, --ini=PATH   the design tools' INI file (default ") +
         kDefaultIniPath +
         ")\n"
         "  -b, --backup     keep the previous contents beside each file as *.P71\n"
         "  -e, --embedded   also convert the nested schematics that parts lead to\n"
         "  -r, --recursive  also convert the schematics in a FOLDER's subfolders\n"
         "  -n, --dry-run    report what would be done, changing no file\n"
         "  -q, --quiet      print errors and warnings only\n"
         "      --trace      print every status, error and closing text to standard output\n"
         "  -h, --help       show this text\n"
         "      --version    show the version and licence\n\n"
         "Exit status: 0 converted, 1 an error was shown, 2 usage error.\n\n" +
         KESTRUNE_BUG_REPORT_LINE + "\n";
}

std::string VersionText() {
  return std::string("kestrune-cli (") + KESTRUNE_INTERNAL_NAME + ") " + KESTRUNE_VERSION_TEXT +
         "\n" + KESTRUNE_LICENCE_LINE + "\n";
}

}  // namespace kestrune
