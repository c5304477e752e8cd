// Reads a file as text, one line piece at a time.
#include "engine/text_reader.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
std::uint64_t BitsBelow(unsigned count) { return count >= 64 ? ~0ull : (1ull << count) - 1; }

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

// The line feed that ends the line holding the carried marker at `marker`, when it lies in
// the block behind the marker's first byte and no other marker stands before it; else null.
// The block may reach beyond end into the buffer's slack; those bytes are not looked at.
const char* CarriedLineFeed(const ByteClasses& classes, const LineMarkers& markers,
                            const char* marker, const char* end) {
  const char* const block = marker + 1;
  const std::size_t left = static_cast<std::size_t>(end - block);
  const BlockMasks masks = classes.Classify(block);
  const std::uint64_t feeds =
      masks.feeds & BitsBelow(left < kBlockBytes ? static_cast<unsigned>(left) : 64u);
  if (feeds == 0) return nullptr;
  const unsigned feed = LowestBit(feeds);
  for (std::uint64_t marks = masks.marks & BitsBelow(feed); marks != 0; marks &= marks - 1) {
    if (markers.MarkerAt(block + LowestBit(marks), end) != LineMarkers::kNoMarker) return nullptr;
  }
  return block + feed;
}

}  // namespace

LineMarkers::LineMarkers(const char* const* texts, int count, int carried)
    : texts_(texts), count_(count) {
  for (int i = 0; i < count; ++i) {
    sizes_[i] = std::strlen(texts[i]);
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
  for (int i = 0; i < count_; ++i) {
    if (texts_[i][0] != *at) continue;
    if (static_cast<std::size_t>(end - at) < sizes_[i]) return i;
    // The second byte first: most bytes that begin a marker begin no more of it.
    if ((sizes_[i] < 2 || at[1] == texts_[i][1]) && std::memcmp(at, texts_[i], sizes_[i]) == 0)
      return i;
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
// lies wholly in them before a line that holds a marker. A carriage return before a line
// feed is the only one dropped; within a line it can only stand at its end, so the pieces
// ReadLine would make of a line without a marker, written one after another, are the line.
std::size_t TextReader::ScanBlocks(char* out, const LineMarkers& markers, std::size_t* carried_at,
                                   bool* marked) {
  const ByteClasses classes(markers);
  const char* const data_end = buffer_ + end_;
  const char* line_in = buffer_ + begin_;  // where the first line not yet taken starts
  const char* marker = nullptr;
  int found = LineMarkers::kNoMarker;
  char* line_out = out;
  char* to = out;
  for (const char* block = line_in; data_end - block >= static_cast<long>(kBlockBytes);
       block += kBlockBytes) {
    const BlockMasks masks = classes.Classify(block);
    std::uint64_t drops = masks.returns & (masks.feeds >> 1);
    if ((masks.returns >> 63) != 0 && block + kBlockBytes < data_end &&
        block[kBlockBytes] == '\n') {
      drops |= 1ull << 63;
    }
    unsigned size = kBlockBytes;
    for (std::uint64_t marks = masks.marks; marks != 0; marks &= marks - 1) {
      found = markers.MarkerAt(block + LowestBit(marks), data_end);
      if (found != LineMarkers::kNoMarker) {
        size = LowestBit(marks);
        marker = block + size;
        *marked = true;
        break;
      }
    }
    drops &= BitsBelow(size);
    to = CopyDropping(to, block, size, drops);
    if (const std::uint64_t feeds = masks.feeds & BitsBelow(size)) {
      // Behind the last line feed only a carriage return at the block's end can be dropped.
      const unsigned line_end = HighestBit(feeds) + 1;
      line_in = block + line_end;
      line_out = to - (size - line_end) + (line_end < 64 && (drops >> line_end) != 0 ? 1 : 0);
    }
    if (*marked) break;
  }
  begin_ = static_cast<std::size_t>(line_in - buffer_);
  if (const std::size_t carried = markers.CarriedSize(found, marker, data_end)) {
    const char* const feed = CarriedLineFeed(classes, markers, marker, data_end);
    if (char* const line_end =
            feed == nullptr ? nullptr : TakeCarriedLine(line_out, to, marker, feed)) {
      *marked = false;
      *carried_at = static_cast<std::size_t>(to - out) + carried;
      return static_cast<std::size_t>(line_end - out);
    }
  }
  return static_cast<std::size_t>(line_out - out);
}

// The line whose start is decoded into line_out up to `to`, where its carried marker stands,
// and which ends at feed, is taken whole when it is one piece; returns its end in out, or
// null to leave it to ReadLine.
char* TextReader::TakeCarriedLine(char* line_out, char* to, const char* marker, const char* feed) {
  const char* const text_end = feed[-1] == '\r' ? feed - 1 : feed;
  if (static_cast<std::size_t>(to - line_out) + static_cast<std::size_t>(text_end - marker) + 1 >
      kLineChars) {
    return nullptr;
  }
  char* const line_end = CopyRun(to, marker, static_cast<std::size_t>(text_end - marker));
  *line_end = '\n';
  begin_ = static_cast<std::size_t>(feed + 1 - buffer_);
  return line_end + 1;
}

std::size_t TextReader::TakePlainLines(char* out, const LineMarkers& markers,
                                       std::size_t* carried_at) {
  *carried_at = kNotCarried;
  for (;;) {
    bool marked = false;
    const std::size_t taken = ScanBlocks(out, markers, carried_at, &marked);
    if (taken > 0 || marked) return taken;
    // Not one whole line in the full blocks: read more, unless one line fills the buffer.
    if ((begin_ == 0 && end_ == kBufferBytes) || !Refill()) return 0;
  }
}

}  // namespace kestrune
