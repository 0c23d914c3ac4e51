#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Byte-string helpers shared by the handlers. Texts may hold NUL bytes, so
// everything works on lengths, never on terminators.

inline constexpr std::size_t NotFound = std::string_view::npos;

// Texts up to this long are looked at in one pass that notes every place of a
// byte, instead of by one memchr call per place: a marker line holds several
// quotes, and each call cost more to set up than the short line takes to scan.
inline constexpr std::size_t MaskedTextSize = 64;

// The first place of byte in text from `from` (at most text.size()) on, or
// NotFound, by memchr.
inline std::size_t memchrFrom(std::string_view text, char byte, std::size_t from) {
  const void* hit = std::memchr(text.data() + from, byte, text.size() - from);
  return hit == nullptr ? NotFound : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

// False only when the text, of 16 to MaskedTextSize bytes, holds none of the
// bytes, so that every search for a marker found by one of them can be
// skipped: one pass over a short line costs less than a memchr call per byte.
template <char... Bytes>
inline bool mayHoldAnyOf([[maybe_unused]] std::string_view text) {
#if defined(__SSE2__)
  if (text.size() < 16 || text.size() > MaskedTextSize) return true;
  const auto blockHolds = [&](std::size_t start) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + start));
    return (_mm_cmpeq_epi8(block, _mm_set1_epi8(Bytes)) | ...);
  };
  __m128i found = blockHolds(text.size() - 16);
  for (std::size_t from = 0; from + 16 < text.size(); from += 16)
    found = _mm_or_si128(found, blockHolds(from));
  return _mm_movemask_epi8(found) != 0;
#else
  return true;
#endif
}

// Bit i of each is set where text[i] is that byte; text holds at most
// MaskedTextSize bytes. The bytes are all noted in one pass that loads each
// block once.
template <char... Bytes>
inline std::array<std::uint64_t, sizeof...(Bytes)> bytesPlaces(std::string_view text) {
  std::array<std::uint64_t, sizeof...(Bytes)> places{};
  std::size_t from = 0;
#if defined(__SSE2__)
  if (text.size() >= 16) {
    const auto addBlock = [&](std::size_t start, std::size_t shiftRight, std::size_t shiftLeft) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + start));
      std::size_t i = 0;
      ((places[i++] |= static_cast<std::uint64_t>(static_cast<unsigned>(
                           _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(Bytes))))) >>
                       shiftRight << shiftLeft),
       ...);
    };
    for (; from + 16 <= text.size(); from += 16) addBlock(from, 0, from);
    // The last block ends with the text and overlaps the one before.
    if (from < text.size()) addBlock(text.size() - 16, from - (text.size() - 16), from);
    return places;
  }
#endif
  for (; from < text.size(); ++from) {
    std::size_t i = 0;
    ((places[i++] |= std::uint64_t{text[from] == Bytes} << from), ...);
  }
  return places;
}

// The places of byte in text, noted in one pass for several searches of a
// short text; none for a longer one, which is searched with memchr instead.
template <char Byte>
inline std::uint64_t bytePlaces(std::string_view text) {
  return text.size() <= MaskedTextSize ? bytesPlaces<Byte>(text)[0] : 0;
}

// The first place of byte in text from `from` on, or NotFound; places are
// bytePlaces<byte>(text).
inline std::size_t findByte(std::string_view text, char byte, std::size_t from, std::uint64_t places) {
  if (from >= text.size()) return NotFound;
  if (text.size() <= MaskedTextSize) {
    places >>= from;
    return places == 0 ? NotFound : from + static_cast<std::size_t>(__builtin_ctzll(places));
  }
  return memchrFrom(text, byte, from);
}

// The first place of byte in text from `from` on at which stop(place) is
// true, or NotFound: the loop that steps from one occurrence of a byte to the
// next. Always inline: called, it cost 5% more instructions in all.
template <typename Stop>
[[gnu::always_inline]] inline std::size_t findByteWhere(std::string_view text, char byte, Stop stop,
                                                        std::size_t from = 0) {
  while (from < text.size()) {
    const std::size_t at = memchrFrom(text, byte, from);
    if (at == NotFound) break;
    if (stop(at)) return at;
    from = at + 1;
  }
  return NotFound;
}

// The first occurrence of each needle, or NotFound. The needles all end in the
// same byte, so one pass that steps from one occurrence of that byte to the
// next serves them all: marker lines name one kind of several, and a search
// per kind cost a pass each over the line. The loop is its own, not
// findByteWhere's: through its callback the counters stayed in memory, at 5%
// more instructions in all. Bit i of stops, bytePlaces<last byte>(text), is
// set where the needles may end.
template <std::size_t N>
[[gnu::always_inline]] inline std::array<std::size_t, N> findEachEndingAlike(
    std::string_view text, const std::array<std::string_view, N>& needles, std::uint64_t stops) {
  std::array<std::size_t, N> found;
  found.fill(NotFound);
  std::size_t missing = N;
  const char last = needles[0].back();
  for (std::size_t from = 0; missing != 0 && from < text.size();) {
    std::size_t end;
    if (text.size() <= MaskedTextSize) {
      if (stops == 0) break;
      end = static_cast<std::size_t>(__builtin_ctzll(stops)) + 1;
      stops &= stops - 1;
    } else {
      const std::size_t at = memchrFrom(text, last, from);
      if (at == NotFound) break;
      end = at + 1;
    }
    // Kind markers end alike in " '" and differ in the byte before, which
    // rules out most needles at a stop without comparing the rest.
    const char before = end >= 3 ? text[end - 3] : 0;
    for (std::size_t i = 0; i < N; ++i) {
      const std::size_t size = needles[i].size();
      if ((size < 3 || before == needles[i][size - 3]) && found[i] == NotFound && end >= size &&
          std::memcmp(text.data() + end - size, needles[i].data(), size) == 0) {
        found[i] = end - size;
        --missing;
      }
    }
    from = end;
  }
  return found;
}

// First occurrence of needle in text from `from` on, or NotFound, found by
// stepping from one occurrence of needle[anchor] to the next. Texts are single
// lines and needles short markers, so this beats memmem, whose set-up costs
// more than such a line's whole scan; an anchor other than the first byte
// serves markers whose first byte is common in generated code.
inline std::size_t findTextByByte(std::string_view text, std::string_view needle, std::size_t anchor,
                                  std::size_t from = 0) {
  if (from > text.size() || needle.size() > text.size() - from) return NotFound;
  if (needle.empty()) return from;
  const char* const begin = text.data();
  const std::size_t lastStart = text.size() - needle.size();
  // Most anchor hits fail at the byte beside it, which is cheaper to test than to call memcmp.
  const std::size_t beside = anchor == 0 ? 1 : anchor - 1;
  for (std::size_t start = from; start <= lastStart;) {
    const void* hit = std::memchr(begin + start + anchor, needle[anchor], lastStart - start + 1);
    if (hit == nullptr) return NotFound;
    start = static_cast<std::size_t>(static_cast<const char*>(hit) - begin) - anchor;
    if (needle.size() == 1 || (begin[start + beside] == needle[beside] &&
                               std::memcmp(begin + start, needle.data(), needle.size()) == 0))
      return start;
    ++start;
  }
  return NotFound;
}

inline std::size_t findText(std::string_view text, std::string_view needle, std::size_t from = 0) {
  return findTextByByte(text, needle, 0, from);
}

// A marker text with the byte of it that searches step by: the one rarest in
// the code around the marker, so that few stops are false.
struct Marker {
  consteval Marker(std::string_view markerText, char stepByte)
      : text(markerText), anchor(markerText.find(stepByte)) {
    if (anchor == std::string_view::npos) throw "the anchor byte is not in the marker";
  }
  constexpr char anchorByte() const { return text[anchor]; }

  std::string_view text;
  std::size_t anchor;
};

inline std::size_t findMarker(std::string_view text, const Marker& marker, std::size_t from = 0) {
  return findTextByByte(text, marker.text, marker.anchor, from);
}

// Where the first `preferred` marker stands and, only when there is none, where
// the first `fallback` stands; NotFound for each that does not. Both step by the
// same byte, so one pass over the line serves both.
struct Preference {
  std::size_t preferred = NotFound;
  std::size_t fallback = NotFound;
};

// Whether the marker stands in text with its anchor byte at `at`.
inline bool standsAt(std::string_view text, const Marker& marker, std::size_t at) {
  if (at < marker.anchor) return false;
  const std::size_t start = at - marker.anchor;
  return text.size() - start >= marker.text.size() && text[start] == marker.text[0] &&
         std::memcmp(text.data() + start, marker.text.data(), marker.text.size()) == 0;
}

// Neither marker can have its anchor byte before the nearer of their anchors:
// a line that begins with "@NODE" is not stopped by the 'D' in it.
inline std::size_t firstAnchorPlace(const Marker& first, const Marker& second) {
  return first.anchor < second.anchor ? first.anchor : second.anchor;
}

inline Preference findPreferred(std::string_view text, const Marker& preferred, const Marker& fallback) {
  Preference found;
  const std::size_t at = findByteWhere(
      text, preferred.anchorByte(),
      [&](std::size_t place) {
        if (standsAt(text, preferred, place)) return true;
        if (found.fallback == NotFound && standsAt(text, fallback, place))
          found.fallback = place - fallback.anchor;
        return false;
      },
      firstAnchorPlace(preferred, fallback));
  return at != NotFound ? Preference{at - preferred.anchor, NotFound} : found;
}

// Whether either marker stands in text; both step by the same byte. Unlike
// findPreferred, the first that stands ends the search, with no pass over the
// rest of the line for the other.
inline bool containsEither(std::string_view text, const Marker& first, const Marker& second) {
  return findByteWhere(
             text, first.anchorByte(),
             [&](std::size_t at) { return standsAt(text, first, at) || standsAt(text, second, at); },
             firstAnchorPlace(first, second)) != NotFound;
}

// findMarker and findPreferred for a text of at most MaskedTextSize bytes whose
// places of the anchor byte are noted: they step through those places instead
// of calling memchr at each, which on a short line cost more than noting them.
// Their loops are their own: sharing findPreferred's test through a callback
// cost 1% more instructions in all.
inline std::size_t findMarkerIn(std::string_view text, const Marker& marker, std::uint64_t places) {
  for (; places != 0; places &= places - 1) {
    const auto at = static_cast<std::size_t>(__builtin_ctzll(places));
    if (standsAt(text, marker, at)) return at - marker.anchor;
  }
  return NotFound;
}

inline Preference findPreferredIn(std::string_view text, const Marker& preferred, const Marker& fallback,
                                  std::uint64_t places) {
  Preference found;
  for (; places != 0; places &= places - 1) {
    const auto at = static_cast<std::size_t>(__builtin_ctzll(places));
    if (standsAt(text, preferred, at)) return {at - preferred.anchor, NotFound};
    if (found.fallback == NotFound && standsAt(text, fallback, at)) found.fallback = at - fallback.anchor;
  }
  return found;
}

inline bool containsText(std::string_view text, std::string_view needle) {
  return findText(text, needle) != NotFound;
}

inline bool beginsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::memcmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// The text without its line end ("\n" or "\r\n"), for values that must never carry one.
inline std::string_view withoutLineEnd(std::string_view text) {
  if (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  }
  return text;
}

// A value that runs from a start up to a delimiter. Without the delimiter it
// stops before the line end, and delimiter is NotFound, so that cutting there
// leaves the line whole.
struct DelimitedValue {
  std::string_view value;
  std::size_t delimiter = NotFound;
};

inline DelimitedValue valueUpTo(std::string_view text, std::size_t from, std::string_view delimiter) {
  std::size_t end = findText(text, delimiter, from);
  if (end != NotFound) return {text.substr(from, end - from), end};
  std::string_view body = withoutLineEnd(text);
  return {from < body.size() ? body.substr(from) : std::string_view(), NotFound};
}

// Reads a decimal integer the way the "%d" conversion does: white space, an
// optional sign, digits up to the first other byte. A value beyond the 32-bit
// range counts as the nearest end of that range. Returns false (value 0) when
// no digit follows.
inline bool parseDecimal(std::string_view text, std::int32_t& value, std::size_t* consumed = nullptr) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  std::size_t digitsStart = pos;
  std::int64_t magnitude = 0;
  constexpr std::int64_t Limit = std::int64_t{1} << 31;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    if (magnitude <= Limit) magnitude = magnitude * 10 + (text[pos] - '0');
    ++pos;
  }
  if (pos == digitsStart) {
    value = 0;
    if (consumed != nullptr) *consumed = 0;
    return false;
  }
  if (magnitude > Limit) magnitude = Limit;
  std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX) signedValue = INT32_MAX;
  value = static_cast<std::int32_t>(signedValue);
  if (consumed != nullptr) *consumed = pos;
  return true;
}
