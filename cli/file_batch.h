// Converts the files of one command line, several at once where their runs cannot meet.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/batch_threads.h"
#include "cli/console_sink.h"
#include "cli/progress_line.h"
#include "engine/platform/platform.h"

namespace kestrune {

// Makes a thread that runs work; throws std::system_error, as std::thread does, when the
// system has none to give (its limit of threads, or memory for a stack). Tests refuse chosen
// workers through it.
using ThreadStarter = std::function<BatchThread(std::function<void()> work)>;

struct BatchOptions {
  std::string ini_path;
  bool backups = false;
  bool embedded = false;
  int jobs = 1;  // how many files may be converted at once
  ThreadStarter start_thread = StartWorkerThread;
};

// One Convert command per file, in order, reported through sink exactly as one run after
// another reports. Where FilesStayApart holds, up to jobs files are converted at once, each
// on an engine of its own, so that waiting for one file's flush does not hold up the next;
// each file is still replaced only once it is on disk. With nested conversion, which may
// lead any run to any file, the runs take turns in order and only their flushes and swaps
// overlap (cli/run_turns.h). A worker whose thread or memory cannot be had is done without;
// with none, the files are converted on the calling thread, whose engine is in static
// storage.
// Once an interrupt stops the runs (StopOnInterrupt), no further file is begun and it
// returns when the runs in progress have stopped, having reported every file finished by
// then, in order; a worker that has not stopped after a few seconds is left to
// EndInterrupted, which ends the program.
void ConvertFiles(const std::vector<std::string>& files, const BatchOptions& options,
                  Platform& platform, ConsoleSink& sink, ProgressLine& progress);

// True when no file's run can touch a name another file's run touches: no two paths name
// one file, no path is a symbolic link, and no two files of one folder share a temporary or
// a backup name derived from their real names, ignoring letter case (where the file system
// ignores it, they are one name; every name without an extension shares the fallback
// temporary name).
bool FilesStayApart(const std::vector<std::string>& files, Platform& platform);

// The number of files converted at once: $KESTRUNE_JOBS when it is a number from 1 to 64,
// else 8, with a warning on standard error when the variable is set to anything else.
int JobsFromEnvironment();

}  // namespace kestrune
