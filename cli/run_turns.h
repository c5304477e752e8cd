// Lets a batch's runs with nested conversion overlap where one run's end cannot meet the next.
#pragma once

#include <cstddef>
#include <vector>

#include "cli/batch_threads.h"
#include "engine/capacities.h"
#include "engine/conversion_engine.h"
#include "engine/run_order.h"

namespace kestrune {

// With nested conversion a run may reach any file, so the runs of a batch are taken in
// turn, in the files' order: each begins once the run before it has written its own file.
// What a run does after that (flushing its file, swapping it in) overlaps the next runs;
// a later run that would touch that file, or a name made from the same stem, waits until
// that run has ended. So every run finds the files as one run after another would.
class RunTurns {
 public:
  // The turn of one worker's engine, given to it through KeepOrder.
  class Turn final : public RunOrder {
   public:
    Turn(RunTurns& turns, const ConversionEngine& engine) : turns_(turns), engine_(engine) {}
    bool AwaitApart(const char* target, const FileInfo& file) override;
    void OwnFileWritten(const char* target, const FileInfo& input) override;

   private:
    friend class RunTurns;
    // The names of a file and those made from it, by the stems they share: a folded file
    // name up to and with its extension's dot.
    struct Stems {
      int count = 0;
      char stem[4][kPathBytes + 1];
    };
    static void StemsOf(const char* target, Stems* stems);
    bool MeetsOwnFile(const FileInfo& file, const Stems& stems) const;

    RunTurns& turns_;
    const ConversionEngine& engine_;
    // Woken alone, when its turn comes or the run it waits for ends: a wake-up of every
    // worker at each turn costs more than a run's own work.
    BatchSignal woken_;
    // Under the lock of turns_: the file whose turn it awaits, or whether it waits apart; the
    // file of the run, and once past its turn, what it touches.
    std::size_t awaited_ = kNoFile;
    bool waiting_apart_ = false;
    std::size_t file_ = 0;
    bool finishing_ = false;
    FileInfo own_input_;
    Stems own_stems_;
  };

  // Room for jobs turns.
  explicit RunTurns(int jobs) { turns_.reserve(static_cast<std::size_t>(jobs)); }
  static constexpr std::size_t kNoFile = static_cast<std::size_t>(-1);

  // Takes part in the turns; at most jobs of them.
  void Join(Turn& turn);
  // Waits until the run of file may begin; false when the turn's engine is asked to stop
  // first.
  bool AwaitTurn(Turn& turn, std::size_t file);
  // The run has ended: the next one may begin if it has not, and nothing waits for this one.
  void EndRun(Turn& turn);

 private:
  void PassTurn(std::size_t file);

  BatchMutex mutex_;
  std::size_t turn_ = 0;  // the file whose run may go on
  std::vector<Turn*> turns_;
};

}  // namespace kestrune
