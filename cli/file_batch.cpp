// Converts a command line's files one after another, or several at once on engines of their own.
#include "cli/file_batch.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <tuple>
#include <utility>

#include "cli/interrupt.h"
#include "cli/recording_sink.h"
#include "engine/conversion_engine.h"
#include "engine/file_names.h"
#include "engine/session_backups.h"
#include "engine/text_util.h"

#if !defined(_WIN32)
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace kestrune {
namespace {

constexpr int kDefaultJobs = 8;
constexpr int kMostJobs = 64;

void Run(ConversionEngine& engine, const std::string& file, const BatchOptions& options) {
  engine.RunConversion(file.c_str(), options.ini_path.c_str(), options.backups ? 1 : 0,
                       options.embedded ? 1 : 0);
}

void ConvertOneAfterAnother(const std::vector<std::string>& files, const BatchOptions& options,
                            Platform& platform, ConsoleSink& sink, ProgressLine& progress) {
  // Megabytes, though it allocates nothing itself: one engine for every file, kept until the
  // program ends, since an interrupt may reach it at any moment; with it the record of every
  // file's backup, which no later file may replace.
  auto* const engine = new ConversionEngine(platform, sink, *new SessionBackups);
  WatchOnInterrupt(*engine);
  for (std::size_t done = 0; done < files.size(); ++done) {
    Run(*engine, files[done], options);
    progress.Show(done + 1, files.size());
  }
}

#if !defined(_WIN32)
// One worker's engine, the sink that keeps what its runs say and the record of its backups
// (FilesStayApart keeps every backup name to one worker).
struct Worker {
  explicit Worker(Platform& platform) : engine(platform, recorder, backups) {}
  RecordingSink recorder;
  SessionBackups backups;
  ConversionEngine engine;
};

// Workers take the next file as each finishes; what a file's run said waits until every file
// before it has been reported.
void ConvertAtOnce(const std::vector<std::string>& files, const BatchOptions& options,
                   Platform& platform, ConsoleSink& sink, ProgressLine& progress) {
  const std::size_t count = files.size();
  std::vector<std::vector<RecordedCall>> said(count);
  std::vector<char> finished(count, 0);
  std::mutex mutex;
  std::condition_variable one_finished;
  std::atomic<std::size_t> next{0};
  const auto work = [&](Worker& worker) {
    for (std::size_t file; (file = next++) < count;) {
      Run(worker.engine, files[file], options);
      const std::lock_guard<std::mutex> hold(mutex);
      said[file] = worker.recorder.Take();
      finished[file] = 1;
      one_finished.notify_all();
    }
  };
  std::vector<std::thread> workers;
  for (std::size_t job = 0; job < count && job < static_cast<std::size_t>(options.jobs); ++job) {
    // Kept until the program ends, since an interrupt may reach its engine at any moment.
    auto* const worker = new Worker(platform);
    WatchOnInterrupt(worker->engine);
    workers.emplace_back(work, std::ref(*worker));
  }
  for (std::size_t file = 0; file < count; ++file) {
    std::vector<RecordedCall> calls;
    {
      std::unique_lock<std::mutex> hold(mutex);
      one_finished.wait(hold, [&] { return finished[file] != 0; });
      calls.swap(said[file]);
    }
    Replay(calls, sink);
    progress.Show(file + 1, count);
  }
  for (std::thread& worker : workers) worker.join();
}
#endif

// The folder part of a path as given: "." when it has none.
std::string FolderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  if (separator == std::string::npos) return ".";
  return separator == 0 ? path.substr(0, 1) : path.substr(0, separator);
}

// The file name of the temporary or backup name the engine gives path, letters folded; empty
// when none fits.
std::string FoldedNameOf(bool (*name_of)(const char*, char*), const std::string& path) {
  char name[kPathBytes];
  if (!name_of(path.c_str(), name)) return std::string();
  std::string folded = name;
  folded.erase(0, folded.find_last_of("/\\") + 1);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

}  // namespace

bool FilesStayApart(const std::vector<std::string>& files, Platform& platform) {
  std::set<std::pair<std::uint64_t, std::uint64_t>> inputs;
  std::set<std::tuple<std::uint64_t, std::uint64_t, std::string>> names;
  for (const std::string& path : files) {
    // The engine derives its names from the real name; a link's differs from its path by more
    // than letter case, and links are converted one after another.
    char real_name[kPathBytes];
    if (!platform.RealName(path.c_str(), real_name, sizeof real_name) ||
        !EqualsIgnoreCase(real_name, path.c_str()))
      return false;
    FileInfo file;
    FileInfo folder;
    if (!platform.Query(real_name, &file) ||
        !platform.Query(FolderOf(real_name).c_str(), &folder) ||
        folder.kind != FileKind::kDirectory)
      return false;
    if (file.kind != FileKind::kMissing && !inputs.emplace(file.device, file.index).second)
      return false;
    for (const auto name_of : {TemporaryName, BackupName}) {
      const std::string name = FoldedNameOf(name_of, real_name);
      if (name.empty() || !names.emplace(folder.device, folder.index, name).second) return false;
    }
  }
  return true;
}

void ConvertFiles(const std::vector<std::string>& files, const BatchOptions& options,
                  Platform& platform, ConsoleSink& sink, ProgressLine& progress) {
#if !defined(_WIN32)
  if (options.jobs > 1 && files.size() > 1 && !options.embedded &&
      FilesStayApart(files, platform)) {
    ConvertAtOnce(files, options, platform, sink, progress);
    return;
  }
#endif
  ConvertOneAfterAnother(files, options, platform, sink, progress);
}

int JobsFromEnvironment() {
  const char* text = std::getenv("KESTRUNE_JOBS");
  if (text == nullptr) return kDefaultJobs;
  char* end = nullptr;
  const long jobs = std::strtol(text, &end, 10);
  if (end != text && *end == '\0' && jobs >= 1 && jobs <= kMostJobs) return static_cast<int>(jobs);
  std::fprintf(stderr,
               "kestrune-cli: warning: KESTRUNE_JOBS=%s is not a number from 1 to %d; up to %d "
               "files are converted at once\n",
               text, kMostJobs, kDefaultJobs);
  return kDefaultJobs;
}

}  // namespace kestrune
