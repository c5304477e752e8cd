// Converts a command line's files one after another, or several at once on engines of their own.
#include "cli/file_batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <system_error>
#include <tuple>
#include <utility>

#include "cli/interrupt.h"
#include "cli/locked_backups.h"
#include "cli/recording_sink.h"
#include "cli/run_turns.h"
#include "engine/conversion_engine.h"
#include "engine/file_names.h"
#include "engine/session_backups.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

constexpr int kDefaultJobs = 8;
constexpr int kMostJobs = 64;

void Run(ConversionEngine& engine, const std::string& file, const BatchOptions& options) {
  engine.RunConversion(file.c_str(), options.ini_path.c_str(), options.backups ? 1 : 0,
                       options.embedded ? 1 : 0);
}

// Megabytes, though it allocates nothing itself: in static storage, so that it is there when
// no memory is; made afresh for each batch, with the record of every file's backup, which no
// later file may replace, and watched until the program ends, since an interrupt may reach it
// at any moment.
ConversionEngine& CallingThreadEngine(Platform& platform, StatusSink& sink) {
  alignas(ConversionEngine) static unsigned char storage[sizeof(ConversionEngine)];
  alignas(SessionBackups) static unsigned char backups_storage[sizeof(SessionBackups)];
  static ConversionEngine* engine = nullptr;
  static SessionBackups* backups = nullptr;
  if (engine != nullptr) {
    engine->~ConversionEngine();
    backups->~SessionBackups();
  }
  backups = new (backups_storage) SessionBackups;
  engine = new (storage) ConversionEngine(platform, sink, *backups);
  WatchOnInterrupt(*engine);
  return *engine;
}

void ConvertOneAfterAnother(const std::vector<std::string>& files, const BatchOptions& options,
                            Platform& platform, ConsoleSink& sink, ProgressLine& progress) {
  ConversionEngine& engine = CallingThreadEngine(platform, sink);
  for (std::size_t done = 0; done < files.size() && !engine.StopRequested(); ++done) {
    Run(engine, files[done], options);
    if (engine.Stopped()) return;
    progress.Show(done + 1, files.size());
  }
}

// How often the reporting thread looks for an interrupt while it waits for a file.
constexpr std::chrono::milliseconds kInterruptPoll{20};

// What became of a file given to the workers.
enum class FileState : char { kWaiting, kFinished, kStopped, kReportLost };

// One worker's engine, the sink that keeps what its runs say, and its turn among runs with
// nested conversion.
struct Worker {
  Worker(Platform& platform, RunBackups& backups, RunTurns& turns)
      : engine(platform, recorder, backups), turn(turns, engine) {}
  RecordingSink recorder;
  ConversionEngine engine;
  RunTurns::Turn turn;
};

// Workers take the next file as each finishes; what a file's run said waits until every file
// before it has been reported. With nested conversion the runs also take turns (RunTurns).
class BatchAtOnce {
 public:
  BatchAtOnce(const std::vector<std::string>& files, const BatchOptions& options,
              Platform& platform);
  ~BatchAtOnce();
  BatchAtOnce(const BatchAtOnce&) = delete;
  BatchAtOnce& operator=(const BatchAtOnce&) = delete;

  // Starts up to the jobs of the options, fewer where a thread or a worker's memory cannot
  // be had or an interrupt came; the number started.
  std::size_t StartWorkers();
  // Reports each file as its run ends, in order, until every file is reported or the runs
  // are cut short; then waits for the workers and reports every other file they finished.
  void ReportInOrder(ConsoleSink& sink, ProgressLine& progress);

 private:
  bool StartWorker();
  bool StartThreadFor(Worker& worker);
  void Work(Worker& worker);
  // Waits until the file's run has ended, or the runs are cut short; the file's state then.
  FileState AwaitFile(std::size_t file);
  // Waits until every worker has ended; after an interrupt a while at most. False when one
  // has not.
  bool AwaitWorkersEnd();
  void ReplayFile(std::size_t file, ConsoleSink& sink);
  // After a cut: stops the workers, waits for them (after an interrupt, a while at most),
  // reports the files finished after first in order, and ends the program if a worker would
  // not stop.
  void ReportTheFinished(std::size_t first, ConsoleSink& sink);
  void StopWorkers();
  void JoinWorkers();

  const std::vector<std::string>& files_;
  const BatchOptions& options_;
  Platform& platform_;
  LockedBackups backups_;
  RunTurns turns_;
  std::atomic<std::size_t> next_{0};
  BatchMutex mutex_;
  BatchSignal changed_;
  // Under the mutex: what each file's run said, what became of it, the workers at work.
  std::vector<std::vector<RecordedCall>> said_;
  std::vector<FileState> states_;
  int running_ = 0;
  std::vector<std::unique_ptr<Worker>> workers_;
  std::vector<BatchThread> threads_;
};

BatchAtOnce::BatchAtOnce(const std::vector<std::string>& files, const BatchOptions& options,
                         Platform& platform)
    : files_(files),
      options_(options),
      platform_(platform),
      turns_(options.jobs),
      said_(files.size()),
      states_(files.size(), FileState::kWaiting) {
  workers_.reserve(static_cast<std::size_t>(options.jobs));
  threads_.reserve(static_cast<std::size_t>(options.jobs));
}

BatchAtOnce::~BatchAtOnce() {
  JoinWorkers();
  for (const std::unique_ptr<Worker>& worker : workers_) ForgetOnInterrupt(worker->engine);
}

std::size_t BatchAtOnce::StartWorkers() {
  const std::size_t wanted = std::min(files_.size(), static_cast<std::size_t>(options_.jobs));
  while (workers_.size() < wanted && !Interrupted() && StartWorker()) {
  }
  return workers_.size();
}

bool BatchAtOnce::StartWorker() {
  std::unique_ptr<Worker> worker;
  try {
    // Its turn's wake-up, on Windows an object of the system, may be refused too.
    worker.reset(new Worker(platform_, backups_, turns_));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (options_.embedded) {
    turns_.Join(worker->turn);
    worker->engine.KeepOrder(worker->turn);
  }
  WatchOnInterrupt(worker->engine);
  {
    const std::lock_guard<BatchMutex> hold(mutex_);
    ++running_;
  }
  if (StartThreadFor(*worker)) {
    workers_.push_back(std::move(worker));
    return true;
  }
  const std::lock_guard<BatchMutex> hold(mutex_);
  --running_;
  ForgetOnInterrupt(worker->engine);
  return false;
}

// The vectors have room for every job: nothing but the thread itself can fail here.
bool BatchAtOnce::StartThreadFor(Worker& worker) {
  try {
    threads_.push_back(options_.start_thread([this, &worker] { Work(worker); }));
    return true;
  } catch (const std::system_error&) {
  } catch (const std::bad_alloc&) {
  }
  return false;
}

void BatchAtOnce::Work(Worker& worker) {
  for (std::size_t file; !worker.engine.StopRequested() && (file = next_++) < files_.size();) {
    if (options_.embedded && !turns_.AwaitTurn(worker.turn, file)) break;
    Run(worker.engine, files_[file], options_);
    if (options_.embedded) turns_.EndRun(worker.turn);
    FileState state = FileState::kFinished;
    if (worker.engine.Stopped()) {
      state = FileState::kStopped;
    } else if (worker.recorder.lost()) {
      state = FileState::kReportLost;
    }
    std::vector<RecordedCall> calls = worker.recorder.Take();
    const std::lock_guard<BatchMutex> hold(mutex_);
    said_[file].swap(calls);
    states_[file] = state;
    changed_.notify_all();
  }
  const std::lock_guard<BatchMutex> hold(mutex_);
  --running_;
  changed_.notify_all();
}

FileState BatchAtOnce::AwaitFile(std::size_t file) {
  std::unique_lock<BatchMutex> hold(mutex_);
  // A signal's handler cannot wake this thread, which it interrupts: it is looked for.
  while (states_[file] == FileState::kWaiting && running_ > 0 && !Interrupted()) {
    changed_.wait_for(hold, kInterruptPoll);
  }
  return states_[file];
}

void BatchAtOnce::ReplayFile(std::size_t file, ConsoleSink& sink) {
  std::vector<RecordedCall> calls;
  {
    const std::lock_guard<BatchMutex> hold(mutex_);
    calls.swap(said_[file]);
  }
  Replay(calls, sink);
}

void BatchAtOnce::ReportInOrder(ConsoleSink& sink, ProgressLine& progress) {
  try {
    std::size_t file = 0;
    for (; file < files_.size() && AwaitFile(file) == FileState::kFinished; ++file) {
      ReplayFile(file, sink);
      progress.Show(file + 1, files_.size());
    }
    if (file < files_.size()) ReportTheFinished(file, sink);
  } catch (...) {
    StopWorkers();
    JoinWorkers();
    throw;
  }
  JoinWorkers();
  const std::lock_guard<BatchMutex> hold(mutex_);
  for (const FileState state : states_) {
    if (state == FileState::kReportLost) throw std::bad_alloc();
  }
}

bool BatchAtOnce::AwaitWorkersEnd() {
  std::unique_lock<BatchMutex> hold(mutex_);
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  while (running_ > 0) {
    if (Interrupted() && deadline == std::chrono::steady_clock::time_point::max()) {
      deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kStopSeconds);
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    changed_.wait_for(hold, kInterruptPoll);
  }
  return true;
}

void BatchAtOnce::ReportTheFinished(std::size_t first, ConsoleSink& sink) {
  StopWorkers();
  const bool all_ended = AwaitWorkersEnd();
  // Nothing is waited for any more: each file's state is what it is now.
  for (std::size_t file = first; file < files_.size(); ++file) {
    if (AwaitFile(file) == FileState::kFinished) ReplayFile(file, sink);
  }
  if (!all_ended) EndInterrupted();
}

void BatchAtOnce::StopWorkers() {
  for (const std::unique_ptr<Worker>& worker : workers_) worker->engine.RequestStop();
}

void BatchAtOnce::JoinWorkers() {
  for (BatchThread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

// The batch at once, set up and its workers started; null when not even one can be had.
std::unique_ptr<BatchAtOnce> StartBatchAtOnce(const std::vector<std::string>& files,
                                              const BatchOptions& options, Platform& platform) {
  try {
    auto batch = std::make_unique<BatchAtOnce>(files, options, platform);
    if (batch->StartWorkers() > 0) return batch;
  } catch (const std::bad_alloc&) {
  }
  return nullptr;
}

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
  if (options.jobs > 1 && files.size() > 1 && FilesStayApart(files, platform)) {
    if (const auto batch = StartBatchAtOnce(files, options, platform)) {
      batch->ReportInOrder(sink, progress);
      return;
    }
  }
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
