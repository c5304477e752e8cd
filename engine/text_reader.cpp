// Reads a file as text, one line piece at a time.
#include "engine/text_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/text_util.h"

namespace kestrune {
namespace {

// The buffer is scanned in blocks of 64 bytes, one bit per byte in each mask.
constexpr std::size_t kBlockBytes = 64;

struct BlockMasks {
  std::uint64_t feeds = 0;    // line feeds
  std::uint64_t returns = 0;  // carriage returns
  std::uint64_t marks = 0;    // first bytes of markers
};

unsigned LowestBit(std::uint64_t bits) { return static_cast<unsigned>(__builtin_ctzll(bits)); }
unsigned HighestBit(std::uint64_t bits) {
  return 63u - static_cast<unsigned>(__builtin_clzll(bits));
}

#if defined(__SSE2__)
// The bytes sought, each repeated across a vector.
class ByteClasses {
 public:
  explicit ByteClasses(const LineMarkers& markers)
      : feed_(_mm_set1_epi8('\n')),
        return_(_mm_set1_epi8('\r')),
        mark_count_(markers.first_byte_count()) {
    for (int i = 0; i < mark_count_; ++i) marks_[i] = _mm_set1_epi8(markers.first_bytes()[i]);
  }

  BlockMasks Classify(const char* block) const {
    BlockMasks masks;
    for (unsigned part = 0; part < kBlockBytes; part += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + part));
      masks.feeds |= Bits(_mm_cmpeq_epi8(bytes, feed_)) << part;
      masks.returns |= Bits(_mm_cmpeq_epi8(bytes, return_)) << part;
      __m128i marked = _mm_setzero_si128();
      for (int i = 0; i < mark_count_; ++i)
        marked = _mm_or_si128(marked, _mm_cmpeq_epi8(bytes, marks_[i]));
      masks.marks |= Bits(marked) << part;
    }
    return masks;
  }

 private:
  static std::uint64_t Bits(__m128i matches) {
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(matches)));
  }

  __m128i feed_;
  __m128i return_;
  __m128i marks_[LineMarkers::kMaxFirstBytes];
  int mark_count_;
};
#else
// The bytes sought, as a table of byte classes.
class ByteClasses {
 public:
  explicit ByteClasses(const LineMarkers& markers) {
    classes_['\n'] = kFeed;
    classes_['\r'] = kReturn;
    for (int i = 0; i < markers.first_byte_count(); ++i) {
      classes_[static_cast<unsigned char>(markers.first_bytes()[i])] |= kMark;
    }
  }

  BlockMasks Classify(const char* block) const {
    BlockMasks masks;
    for (unsigned i = 0; i < kBlockBytes; ++i) {
      const unsigned char kind = classes_[static_cast<unsigned char>(block[i])];
      masks.feeds |= static_cast<std::uint64_t>(kind & kFeed) << i;
      masks.returns |= static_cast<std::uint64_t>((kind & kReturn) >> 1) << i;
      masks.marks |= static_cast<std::uint64_t>((kind & kMark) >> 2) << i;
    }
    return masks;
  }

 private:
  static constexpr unsigned char kFeed = 1, kReturn = 2, kMark = 4;
  unsigned char classes_[256] = {};
};
#endif

// Copies size bytes in steps of kCopySlack, which may write and read up to kCopySlack bytes
// beyond them; the first step is taken whatever the size, since most lines fit it.
char* CopyRun(char* out, const char* from, std::size_t size) {
  std::size_t done = 0;
  do {
    std::memcpy(out + done, from + done, TextReader::kCopySlack);
    done += TextReader::kCopySlack;
  } while (done < size);
  return out + size;
}

// Copies the first size bytes of a block, leaving out the bytes marked in drops.
char* CopyDropping(char* out, const char* block, unsigned size, std::uint64_t drops) {
  unsigned from = 0;
  for (; drops != 0; drops &= drops - 1) {
    const unsigned dropped = LowestBit(drops);
    out = CopyRun(out, block + from, dropped - from);
    from = dropped + 1;
  }
  return CopyRun(out, block + from, size - from);
}

static_assert(TextReader::kBulkRoom <= 65536, "offsets in out fit a carried line's fields");
static_assert(LineMarkers::kMaxTexts <= 8, "a byte has one bit per text");

// Where a bulk scan stands: the first line not yet taken, in the buffer and decoded in out,
// and the carried marker seen in that line so far, if any.
class LineScan {
 public:
  LineScan(const LineMarkers& markers, const char* line_in, const char* data_end, char* out,
           CarriedLines& carried)
      : markers_(markers),
        data_end_(data_end),
        out_(out),
        carried_(carried),
        line_in_(line_in),
        line_out_(out) {}
  const char* line_in() const { return line_in_; }
  char* line_out() const { return line_out_; }
  bool in_marked_line() const { return marker_ != nullptr; }

  // The lines of a block with no marker, up to its last line feed; to is where the block's
  // copy ends in out.
  void TakePlainBlock(const char* block, std::uint64_t feeds, std::uint64_t drops, char* to) {
    if (feeds == 0) return;
    // Behind the last line feed only a carriage return at the block's end can be dropped.
    const unsigned line_end = HighestBit(feeds) + 1;
    line_in_ = block + line_end;
    line_out_ = to - (kBlockBytes - line_end) + (line_end < kBlockBytes ? (drops >> 63) : 0);
  }

  // Sorts the marker bytes of a block by what they begin: the carried marker, wholly
  // there, or another marker (or one cut off by the data's end); other bytes are left out.
  void SortMarkers(const char* block, std::uint64_t marks, std::uint64_t* carried,
                   std::uint64_t* others) {
    *carried = *others = 0;
    for (; marks != 0; marks &= marks - 1) {
      const char* const at = block + LowestBit(marks);
      const int found = markers_.MarkerAt(at, data_end_);
      if (found == LineMarkers::kNoMarker) continue;
      const std::size_t size = markers_.CarriedSize(found, at, data_end_);
      if (size != 0) marker_size_ = size;
      (size != 0 ? *carried : *others) |= marks & (0 - marks);
    }
  }

  // The lines of a block line by line, with the markers sorted by SortMarkers; false when it
  // stops at a line for ReadLine: one with a marker that is not the carried one, or with
  // two, or one more than the carried lines hold.
  bool TakeBlockLines(const char* block, std::uint64_t feeds, std::uint64_t carried,
                      std::uint64_t others) {
    for (;; feeds &= feeds - 1) {
      const unsigned feed = feeds != 0 ? LowestBit(feeds) : kBlockBytes;
      const std::uint64_t before = feed < kBlockBytes ? (1ull << feed) - 1 : ~0ull;
      if ((others & before) != 0) return false;
      if (const std::uint64_t in_line = carried & before) {
        if (marker_ != nullptr || (in_line & (in_line - 1)) != 0 ||
            carried_.count == CarriedLines::kMaxLines) {
          return false;
        }
        marker_ = block + LowestBit(in_line);
        carried &= ~before;
      }
      if (feeds == 0) return true;
      if (!EndLine(block + feed)) return false;
    }
  }

 private:
  // The line ends at feed: it is taken, and listed when it holds the carried marker. False
  // when it holds one but is longer than a piece, and so is for ReadLine.
  bool EndLine(const char* feed) {
    // Within a line only a carriage return directly before its line feed is dropped.
    const char* const text_end = feed > line_in_ && feed[-1] == '\r' ? feed - 1 : feed;
    const std::size_t length = static_cast<std::size_t>(text_end - line_in_) + 1;
    if (marker_ != nullptr) {
      if (length > kLineChars) return false;
      const std::size_t value = static_cast<std::size_t>(marker_ - line_in_) + marker_size_;
      carried_.lines[carried_.count++] =
          CarriedLines::Line{static_cast<std::uint16_t>(line_out_ + value - out_),
                             static_cast<std::uint16_t>(line_out_ + length - out_)};
      marker_ = nullptr;
    }
    line_in_ = feed + 1;
    line_out_ += length;
    return true;
  }

  const LineMarkers& markers_;
  const char* const data_end_;
  char* const out_;
  CarriedLines& carried_;
  const char* line_in_;
  char* line_out_;
  const char* marker_ = nullptr;
  std::size_t marker_size_ = 0;
};

}  // namespace

LineMarkers::LineMarkers(const char* const* texts, int count, int carried) : texts_(texts) {
  for (int i = 0; i < count; ++i) {
    sizes_[i] = std::strlen(texts[i]);
    by_first_byte_[static_cast<unsigned char>(texts[i][0])] |= static_cast<std::uint8_t>(1u << i);
    by_second_byte_[static_cast<unsigned char>(texts[i][1])] |= static_cast<std::uint8_t>(1u << i);
    const char first = texts[i][0];
    if (std::memchr(first_bytes_, first, static_cast<std::size_t>(first_byte_count_)) == nullptr &&
        first_byte_count_ < kMaxFirstBytes) {
      first_bytes_[first_byte_count_++] = first;
    }
  }
  // Where the carried text matches, no other may then match or be cut off.
  for (int i = 0; i < count && carried != kNoMarker; ++i) {
    const std::size_t shorter = sizes_[i] < sizes_[carried] ? sizes_[i] : sizes_[carried];
    if (i != carried && std::memcmp(texts[i], texts[carried], shorter) == 0) carried = kNoMarker;
  }
  carried_ = carried;
}

int LineMarkers::MarkerAt(const char* at, const char* end) const {
  const std::size_t left = static_cast<std::size_t>(end - at);
  // The texts whose first two bytes stand there; most marker bytes begin none.
  unsigned candidates = by_first_byte_[static_cast<unsigned char>(at[0])];
  if (left >= 2) candidates &= by_second_byte_[static_cast<unsigned char>(at[1])];
  for (; candidates != 0; candidates &= candidates - 1) {
    const int i = static_cast<int>(LowestBit(candidates));
    // Only the bytes before end count: a text cut off by end may start at `at`.
    const std::size_t size = sizes_[i] < left ? sizes_[i] : left;
    std::size_t same = size < 2 ? size : 2;
    while (same < size && at[same] == texts_[i][same]) ++same;
    if (same == size) return i;
  }
  return kNoMarker;
}

std::size_t LineMarkers::CarriedSize(int marker, const char* at, const char* end) const {
  if (marker == kNoMarker || marker != carried_) return 0;
  return static_cast<std::size_t>(end - at) >= sizes_[marker] ? sizes_[marker] : 0;
}

void TextReader::Start(Platform& files, FileHandle file) {
  files_ = &files;
  file_ = file;
  begin_ = end_ = 0;
  at_end_ = failed_ = false;
}

// Keeps the unread bytes (a carriage return waiting for its successor) and reads more.
bool TextReader::Refill() {
  if (at_end_) return false;
  const std::size_t kept = end_ - begin_;
  std::memmove(buffer_, buffer_ + begin_, kept);
  begin_ = 0;
  end_ = kept;
  const long got = files_->Read(file_, buffer_ + kept, kBufferBytes - kept);
  if (got <= 0) {
    at_end_ = true;
    failed_ = got < 0;
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  return true;
}

bool TextReader::FirstPieceHolds(const char* text) {
  if (begin_ == end_ && !Refill()) return false;
  const char* const first = buffer_ + begin_;
  std::size_t length = std::min(end_ - begin_, kLineChars);
  if (const void* feed = std::memchr(first, '\n', length)) {
    length = static_cast<std::size_t>(static_cast<const char*>(feed) - first);
  }
  return FindText(first, length, text) != nullptr;
}

std::size_t TextReader::ReadLine(char* line) {
  std::size_t length = 0;
  while (length < kLineChars) {
    if (begin_ == end_ && !Refill()) break;
    const char* const from = buffer_ + begin_;
    const std::size_t room = kLineChars - length;
    const std::size_t buffered = end_ - begin_;
    // One byte beyond the room: a line feed there fits when a carriage return before it goes.
    const std::size_t window = buffered < room + 1 ? buffered : room + 1;
    if (const char* feed = static_cast<const char*>(std::memchr(from, '\n', window))) {
      const std::size_t used = static_cast<std::size_t>(feed - from) + 1;
      const bool pair = used >= 2 && feed[-1] == '\r';
      if (used - (pair ? 1 : 0) <= room) {
        std::memcpy(line + length, from, used - (pair ? 2 : 1));
        length += used - (pair ? 1 : 0);
        line[length - 1] = '\n';
        begin_ += used;
        break;
      }
    }
    std::size_t take = window > room ? room : window;
    // A carriage return at the end of the buffered bytes waits for its successor.
    if (take == buffered && from[take - 1] == '\r') --take;
    std::memcpy(line + length, from, take);
    length += take;
    begin_ += take;
    if (take == 0 && !Refill()) {
      if (failed_) break;
      line[length++] = '\r';  // a carriage return that ends the file is data
      ++begin_;
    }
  }
  line[length] = '\0';
  return failed_ ? 0 : length;
}

// Takes the whole blocks from the read position on, up to the end of the last line that
// lies wholly in them before a line for ReadLine. A carriage return before a line feed is
// the only one dropped; within a line it can only stand at its end, so the pieces ReadLine
// would make of a line without a marker, written one after another, are the line.
std::size_t TextReader::ScanBlocks(char* out, const LineMarkers& markers, CarriedLines* carried,
                                   bool* marked) {
  const ByteClasses classes(markers);
  const char* const data_end = buffer_ + end_;
  LineScan scan(markers, buffer_ + begin_, data_end, out, *carried);
  char* to = out;
  for (const char* block = scan.line_in(); data_end - block >= static_cast<long>(kBlockBytes);
       block += kBlockBytes) {
    const BlockMasks masks = classes.Classify(block);
    std::uint64_t drops = masks.returns & (masks.feeds >> 1);
    if ((masks.returns >> 63) != 0 && block + kBlockBytes < data_end &&
        block[kBlockBytes] == '\n') {
      drops |= 1ull << 63;
    }
    to = CopyDropping(to, block, kBlockBytes, drops);
    std::uint64_t carried_marks, other_marks;
    scan.SortMarkers(block, masks.marks, &carried_marks, &other_marks);
    if ((carried_marks | other_marks) == 0 && !scan.in_marked_line()) {
      scan.TakePlainBlock(block, masks.feeds, drops, to);
    } else if (!scan.TakeBlockLines(block, masks.feeds, carried_marks, other_marks)) {
      *marked = true;
      break;
    }
  }
  begin_ = static_cast<std::size_t>(scan.line_in() - buffer_);
  return static_cast<std::size_t>(scan.line_out() - out);
}

std::size_t TextReader::TakePlainLines(char* out, const LineMarkers& markers,
                                       CarriedLines* carried) {
  for (;;) {
    carried->count = 0;
    bool marked = false;
    const std::size_t taken = ScanBlocks(out, markers, carried, &marked);
    if (taken > 0 || marked) return taken;
    // Not one whole line in the full blocks: read more, unless one line fills the buffer.
    if ((begin_ == 0 && end_ == kBufferBytes) || !Refill()) return 0;
  }
}

}  // namespace kestrune
