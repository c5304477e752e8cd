// The files that the conversions in progress hold open, one level per nesting depth.
#pragma once

#include "engine/platform.h"
#include "engine/text_reader.h"
#include "engine/text_writer.h"

namespace kestrune {

// Each nesting level reads one input and writes one temporary file; the buffers live in
// static storage so that no level allocates.
struct ConversionLevel {
  TextReader reader;
  TextWriter writer;
  FileInfo input;
  FileInfo temporary;
};

// A fresh level for a new conversion. Each level converts a distinct recorded file, so
// the visited capacity bounds the depth and a level is always free.
ConversionLevel& EnterLevel();
// Gives back the innermost level.
void LeaveLevel();
// True when the file is an input or a temporary file of a level in use, whatever path names it.
bool HeldOpen(const FileInfo& file);

}  // namespace kestrune
