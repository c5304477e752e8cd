// Fuzzes the part library loader against a plain model of how libraries fill the part table.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/conversion_engine.h"
#include "engine/platform/memory_platform.h"
#include "fuzz/fresh_engine.h"
#include "fuzz/property.h"
#include "tests/support/text_model.h"

namespace kestrune::fuzz {
namespace {

constexpr char kIniPath[] = "C:\\WINDOWS\\MSIM.INI";
// The one library is listed twice, so rows run on from one file into the next.
constexpr char kIni[] =
    "[MICROSIM]\nLIBPATH=\"C:\\LIBS\"\n[PART LIBS]\nLIB1=FUZZ\nLIB2=FUZZ extra words\n";
constexpr char kLibraryPath[] = "C:\\LIBS\\FUZZ.slb";

class LastStatusSink : public StatusSink {
 public:
  void SetStatus(const char* text) override { last = text; }
  void ShowError(const char*) override { ++errors; }
  void ShowInfo(const char*) override {}
  std::string last;
  int errors = 0;
};

using model::LowerAscii;
using model::PartTableModel;
using model::UpperAscii;

void CheckTable(const PartTable& table, const PartTableModel& model) {
  const std::vector<PartTableModel::Row>& rows = model.rows();
  for (int i = 0; i < kPartRows; ++i) {
    const PartEntry& entry = table.Row(i);
    Require(std::memchr(entry.Name, '\0', sizeof entry.Name) != nullptr,
            "every name is terminated in its row");
    Require(std::memchr(entry.Default, '\0', sizeof entry.Default) != nullptr,
            "every default is terminated in its row");
    const std::size_t row = static_cast<std::size_t>(i);
    const std::string name = row < rows.size()    ? rows[row].name
                             : row == rows.size() ? model.waiting_name()
                                                  : "";
    const std::string value = row < rows.size() ? rows[row].value : "";
    Require(entry.Name == name, "each row holds the model's name");
    Require(entry.Default == value, "each row holds the model's default");
  }
}

// Names of rows spread over the table, each in three spellings, and names that must find
// nothing; a few dozen lookups keep each run fast.
void CheckLookups(PartTable& table, const PartTableModel& model) {
  const std::vector<PartTableModel::Row>& rows = model.rows();
  std::vector<std::string> names = {"", "NO SUCH PART", model.waiting_name()};
  const std::size_t step = rows.size() / 16 + 1;
  for (std::size_t i = 0; i < rows.size(); i += step) {
    names.insert(names.end(), {rows[i].name, UpperAscii(rows[i].name), LowerAscii(rows[i].name)});
  }
  if (!rows.empty()) names.push_back(LowerAscii(rows.back().name));
  for (const std::string& name : names) {
    const char* found = table.FindPart(name.c_str());
    const std::optional<std::string> expected = model.Find(name);
    Require((found == nullptr) == !expected, "FindPart finds a part exactly when the model does");
    if (found != nullptr) Require(*expected == found, "FindPart gives the model's default");
  }
}

}  // namespace
}  // namespace kestrune::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrune;
  using namespace kestrune::fuzz;
  const std::string library(reinterpret_cast<const char*>(data), size);
  MemoryPlatform files;
  files.AddFile(kIniPath, kIni);
  files.AddFile(kLibraryPath, library);
  LastStatusSink sink;
  ConversionEngine& engine = FreshEngine(files, sink);
  engine.StartRun(false, true);  // nested conversion on, so parts left out are shown
  engine.LoadPartLibraries(kIniPath);

  PartTableModel model;
  model.Read(library);
  model.Read(library);
  Require(model.rows().size() <= 1000, "the model stores at most 1000 parts");
  Require(sink.last == "Status: Loaded " + std::to_string(model.rows().size()) + " parts",
          "the part count is the model's");
  Require(sink.errors == (model.overflowed() ? 1 : 0),
          "one error exactly when the model leaves out parts beyond the table");
  Require(files.open_files() == 0, "every library is closed");
  CheckTable(engine.parts(), model);
  CheckLookups(engine.parts(), model);
  return 0;
}
