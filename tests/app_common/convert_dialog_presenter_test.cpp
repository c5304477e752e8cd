// The main window's behaviour, on a fake window: start-up, Exit, cancel, Convert, Browse, the About
// command.
#include "app/common/convert_dialog_presenter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/app_common/recording_store.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {
namespace {

using Log = std::vector<std::string>;

// Holds what the controls would show and logs every box, status text and request.
class FakeView : public ConvertDialogView {
 public:
  DialogSettings controls;
  FieldEncoding encoding = FieldEncoding::kUtf8;
  std::optional<std::string> picked;  // the picker's answer; none: cancelled
  Log log;

  void ShowStatus(const char* text) override { Record("status", text); }
  void ShowMessage(const char* text, MessageKind kind) override {
    Record(kind == MessageKind::kError ? "error" : "info", text);
  }
  void ShowLongMessage(const char* text, MessageKind kind) override {
    Record(kind == MessageKind::kError ? "long error" : "long info", text);
  }
  void ShowSettings(const DialogSettings& settings) override {
    controls = settings;
    log.push_back("show settings");
  }
  DialogSettings ReadSettings() const override { return controls; }
  std::string PathForRun(PathField field) const override { return Field(field); }
  FieldEncoding PathEncoding() const override { return encoding; }
  void WhileBusy(const std::function<void()>& work) override {
    busy_ = true;
    work();
    busy_ = false;
  }
  bool AskForFile(const char* extension, std::string* path) override {
    log.push_back(std::string("ask ") + extension);
    if (picked) *path = *picked;
    return picked.has_value();
  }
  // A relative name is completed from a start folder of "/start".
  std::string EnterFolderOf(const std::string& path) override {
    log.push_back("enter folder of " + path);
    return path.front() == '/' ? path : "/start/" + path;
  }
  void ShowPath(PathField field, const std::string& path) override { Field(field) = path; }
  void ShowAboutBox() override { log.push_back("about"); }
  void Finish(DialogEnd end) override {
    log.push_back(end == DialogEnd::kExit ? "finish exit" : "finish cancel");
  }

  std::string& Field(PathField field) {
    return field == PathField::kInput ? controls.input_file : controls.ini_file;
  }
  const std::string& Field(PathField field) const {
    return field == PathField::kInput ? controls.input_file : controls.ini_file;
  }

 private:
  // A run reports only while the window takes no input.
  void Record(const char* kind, const char* text) {
    log.push_back(std::string(busy_ ? "" : "idle ") + kind + " " + text);
  }
  bool busy_ = false;
};

class Presenter : public testing::Test {
 protected:
  FakeView view;
  RecordingStore store;
  ConvertDialogPresenter presenter{view, store};
};

TEST_F(Presenter, StartShowsTheDefaultsAndWritesNothing) {
  presenter.OnStart();
  EXPECT_EQ(view.controls.input_file, "");
  EXPECT_EQ(view.controls.ini_file, kDefaultIniPath);
  EXPECT_FALSE(view.controls.backups);
  EXPECT_FALSE(view.controls.embedded);
  for (const std::string& access : store.log) EXPECT_EQ(access.rfind("read ", 0), 0u) << access;
  EXPECT_EQ(view.log, Log{"show settings"});
}

TEST_F(Presenter, StoredSettingsAreShownAndExitSavesThemWithTheBoxesAsOneThenEnds) {
  store.strings["Options/Input File"] = "C:\\WORK\\AMP.SCH";
  store.strings["Options/Ini File"] = "MY.INI";
  store.ints["Options/Backup"] = 9;
  store.ints["Options/Embeded"] = -1;
  presenter.OnStart();
  EXPECT_EQ(view.controls.input_file, "C:\\WORK\\AMP.SCH");
  EXPECT_EQ(view.controls.ini_file, "MY.INI");
  EXPECT_TRUE(view.controls.backups);
  EXPECT_TRUE(view.controls.embedded);
  store.log.clear();
  presenter.OnExit();
  EXPECT_EQ(store.log,
            (Log{"write Options/Input File=C:\\WORK\\AMP.SCH", "write Options/Ini File=MY.INI",
                 "write Options/Backup=1", "write Options/Embeded=1", "flush"}));
  EXPECT_EQ(view.log.back(), "finish exit");
}

// As a pick does, so that its nested files and relative library paths resolve from there.
TEST_F(Presenter, AFileNamedAtStartFillsTheInputFieldAsAPickWouldAndChangesNothingElse) {
  store.strings["Options/Input File"] = "STORED.SCH";
  store.strings["Options/Ini File"] = "MY.INI";
  store.ints["Options/Backup"] = 1;
  presenter.OnStart(std::string("new dir/Amp.sch"));
  EXPECT_EQ(view.log, (Log{"enter folder of new dir/Amp.sch", "show settings"}));
  EXPECT_EQ(view.controls.input_file, "/start/new dir/Amp.sch");
  EXPECT_EQ(view.controls.ini_file, "MY.INI");
  EXPECT_TRUE(view.controls.backups);
  EXPECT_FALSE(view.controls.embedded);
  for (const std::string& access : store.log) EXPECT_EQ(access.rfind("read ", 0), 0u) << access;
}

TEST_F(Presenter, ExitSavesWhatTheNextStartShows) {
  view.controls = DialogSettings{std::string(300, 'x') + ".SCH", "D:\\MSIM.INI", false, true};
  presenter.OnExit();
  FakeView next;
  ConvertDialogPresenter(next, store).OnStart();
  EXPECT_EQ(next.controls.input_file, view.controls.input_file);
  EXPECT_EQ(next.controls.ini_file, "D:\\MSIM.INI");
  EXPECT_FALSE(next.controls.backups);
  EXPECT_TRUE(next.controls.embedded);
}

TEST_F(Presenter, AnExitWhoseSaveFailsSaysSoAndKeepsTheWindowOpen) {
  store.flush_succeeds = false;
  presenter.OnExit();
  EXPECT_EQ(store.log.back(), "flush");
  EXPECT_EQ(view.log, Log{std::string("idle error ") + kSettingsNotSavedText});
}

TEST_F(Presenter, CancelEndsTheWindowSavingNothing) {
  view.controls.input_file = "CHANGED.SCH";
  presenter.OnCancel();
  EXPECT_TRUE(store.log.empty());
  EXPECT_EQ(view.log, Log{"finish cancel"});
}

class ConvertCommand : public Presenter {
 protected:
  ScratchDir scratch;
  std::string PathOf(const std::string& name) const { return NativePath(scratch.path() / name); }
};

TEST_F(ConvertCommand, AFailedFileIsReportedThenListedAndTheStatusEndsIdle) {
  view.controls = DialogSettings{PathOf("GONE.SCH"), PathOf("NONE.INI"), false, false};
  presenter.OnConvert();
  ASSERT_GE(view.log.size(), 3u);
  EXPECT_EQ(view.log[view.log.size() - 3],
            "error ERROR: Unable to open input file!\n" + PathOf("GONE.SCH"));
  EXPECT_EQ(view.log[view.log.size() - 2],
            "info " + PathOf("GONE.SCH") + "\nFinished with errors!");
  EXPECT_EQ(view.log.back(), "status Status: Idle");
  EXPECT_TRUE(store.log.empty()) << "a run neither reads nor writes the settings";
}

TEST_F(ConvertCommand, TheTickedBackupBoxReachesTheRun) {
  WriteWholeFile(scratch.path() / "AMP.SCH", "*version 7.1\r\n@setup\r\nx\r\n@index\r\n");
  WriteWholeFile(scratch.path() / "KEEP.SCH", "*version 7.1\r\n");
  view.controls = DialogSettings{PathOf("AMP.SCH"), PathOf("NONE.INI"), false, false};
  presenter.OnConvert();
  view.controls.input_file = PathOf("KEEP.SCH");
  view.controls.backups = true;
  presenter.OnConvert();
  EXPECT_EQ(ReadWholeFile(scratch.path() / "AMP.SCH"), "*version 6.1\n@index\n");
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "AMP.P71"));
  EXPECT_EQ(ReadWholeFile(scratch.path() / "KEEP.SCH"), "*version 6.1\n");
  EXPECT_EQ(ReadWholeFile(scratch.path() / "KEEP.P71"), "*version 7.1\r\n");
}

// The dialog makes an engine for each command; the record of the session's backups outlives
// them, so that a later command whose backup name is taken leaves its file as it was.
TEST_F(ConvertCommand, NoCommandReplacesTheBackupOfAnEarlierOne) {
  WriteWholeFile(scratch.path() / "AMP.SCH", "*version 7.1\r\nfirst\r\n");
  WriteWholeFile(scratch.path() / "AMP", "*version 7.1\r\nsecond\r\n");
  for (const char* name : {"AMP.SCH", "AMP"}) {
    view.controls = DialogSettings{PathOf(name), PathOf("NONE.INI"), true, false};
    presenter.OnConvert();
  }
  EXPECT_EQ(view.log.end()[-3],
            "error ERROR: Backup name already used in this run!\n" + PathOf("AMP"));
  EXPECT_EQ(ReadWholeFile(scratch.path() / "AMP.P71"), "*version 7.1\r\nfirst\r\n");
  EXPECT_EQ(ReadWholeFile(scratch.path() / "AMP"), "*version 7.1\r\nsecond\r\n");
}

// A field is read into the engine's path capacity: the run sees its first 199 bytes.
TEST_F(ConvertCommand, ARunReadsAtMost199BytesOfAFieldInEitherEncoding) {
  const std::string folder = PathOf("");
  ASSERT_LT(folder.size(), 150u);
  const std::string name = std::string(199 - folder.size() - 4, 'N') + ".SCH";
  for (const FieldEncoding encoding : {FieldEncoding::kSingleByte, FieldEncoding::kUtf8}) {
    WriteWholeFile(scratch.path() / name, "*version 7.1\n");
    view.encoding = encoding;
    view.controls = DialogSettings{folder + name + "-CUT-OFF", PathOf("NONE.INI"), false, false};
    view.log.clear();
    presenter.OnConvert();
    EXPECT_EQ(view.log.end()[-2], "info " + folder + name + "\nConverted!");
    EXPECT_EQ(ReadWholeFile(scratch.path() / name), "*version 6.1\n");
    EXPECT_EQ(view.controls.input_file, folder + name + "-CUT-OFF");
  }
}

// A missing file whose name holds line breaks gives an error and a closing text of as many
// lines as wanted: here 15, which a plain box shows, and 16, which go to the scrolled box.
TEST_F(ConvertCommand, ABoxOfMoreThanFifteenLinesIsShownScrolled) {
  for (const int lines : {kLongMessageLines, kLongMessageLines + 1}) {
    const std::string path = PathOf("GONE" + std::string(lines - 2, '\n') + ".SCH");
    view.controls = DialogSettings{path, PathOf("NONE.INI"), false, false};
    view.log.clear();
    presenter.OnConvert();
    const std::string box = lines > kLongMessageLines ? "long " : "";
    ASSERT_GE(view.log.size(), 3u) << lines;
    EXPECT_EQ(view.log.end()[-3], box + "error ERROR: Unable to open input file!\n" + path);
    EXPECT_EQ(view.log.end()[-2], box + "info " + path + "\nFinished with errors!");
  }
}

struct BrowseCase {
  PathField field;
  PathField other;
  const char* extension;
};

constexpr BrowseCase kBrowseCases[] = {{PathField::kInput, PathField::kIni, "SCH"},
                                       {PathField::kIni, PathField::kInput, "INI"}};

TEST_F(Presenter, BrowseAsksForItsFieldsKindPutsThePickedPathThereAndEntersItsFolder) {
  for (const BrowseCase& browse : kBrowseCases) {
    view.controls = DialogSettings{"before", "before", false, false};
    view.log.clear();
    view.picked = "/work/PICKED." + std::string(browse.extension);
    presenter.OnBrowse(browse.field);
    EXPECT_EQ(view.log,
              (Log{std::string("ask ") + browse.extension, "enter folder of " + *view.picked}));
    EXPECT_EQ(view.Field(browse.field), *view.picked);
    EXPECT_EQ(view.Field(browse.other), "before");
  }
}

TEST_F(Presenter, ACancelledBrowseLeavesTheFieldAsItWas) {
  for (const BrowseCase& browse : kBrowseCases) {
    view.controls = DialogSettings{"KEEP.SCH", "KEEP.INI", false, false};
    view.picked.reset();
    view.log.clear();
    presenter.OnBrowse(browse.field);
    EXPECT_EQ(view.log, Log{std::string("ask ") + browse.extension});
    EXPECT_EQ(view.controls.input_file, "KEEP.SCH");
    EXPECT_EQ(view.controls.ini_file, "KEEP.INI");
  }
}

// A drop is a pick by other means.
TEST_F(Presenter, ADropFillsTheFieldItFellOnWithTheFirstFileAloneAndEntersItsFolder) {
  for (const BrowseCase& drop : kBrowseCases) {
    view.controls = DialogSettings{"before", "before", false, false};
    view.log.clear();
    presenter.OnFilesDropped(drop.field, {"/home/ann/Amp.sch", "/home/ann/Filter.sch"});
    EXPECT_EQ(view.Field(drop.field), "/home/ann/Amp.sch");
    EXPECT_EQ(view.Field(drop.other), "before");
    EXPECT_EQ(view.log, Log{"enter folder of /home/ann/Amp.sch"});
    presenter.OnFilesDropped(drop.field, {});
    EXPECT_EQ(view.Field(drop.field), "/home/ann/Amp.sch");
    EXPECT_EQ(view.log.size(), 1u);
  }
  EXPECT_TRUE(store.log.empty());
}

// The system keeps the low four bits of a window-menu command for itself.
TEST_F(Presenter, OnlyTheAboutCommandShowsTheAboutBox) {
  struct Command {
    unsigned id;
    bool about;
  };
  for (const Command command : {Command{IDM_ABOUTBOX, true}, Command{IDM_ABOUTBOX | 0x3, true},
                                Command{IDM_ABOUTBOX + 0x20, false}, Command{0xF060, false}}) {
    view.log.clear();
    EXPECT_EQ(presenter.OnSystemCommand(command.id), command.about) << command.id;
    EXPECT_EQ(view.log, command.about ? Log{"about"} : Log{}) << command.id;
  }
}

}  // namespace
}  // namespace kestrune::test
