#include "json_parser.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "json_node_arena.h"
#include "json_number_limits.h"
#include "utf16_units.h"

namespace velto {
namespace {

// Replaces every unpaired surrogate with U+FFFD, as encoding the text to UTF-8 and back does.
void ReplaceUnpairedSurrogates(char16_t* at, const char16_t* end) {
  for (; at != end; ++at) {
    if (!IsSurrogate(*at)) continue;
    if (IsHighSurrogate(*at) && at + 1 != end && IsLowSurrogate(at[1])) {
      ++at;
    } else {
      *at = kReplacementCharacter;
    }
  }
}

bool HasUnpairedSurrogate(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsSurrogate(text[i])) continue;
    if (!IsHighSurrogate(text[i]) || i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) {
      return true;
    }
    ++i;
  }
  return false;
}

// Whether any unit is a surrogate; written without an early exit so that it runs vectorised.
bool HasSurrogate(std::u16string_view text) {
  bool found = false;
  for (const char16_t unit : text) found |= IsSurrogate(unit);
  return found;
}

// Plain digits below 10^300 are far inside the range of a double.
constexpr std::size_t kLongestPlainNumber = 300;

bool IsDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

bool IsWhitespace(char16_t unit) {
  return unit == u' ' || unit == u'\n' || unit == u'\r' || unit == u'\t';
}

// The value of a hexadecimal digit, or -1.
int HexDigit(char16_t unit) {
  if (IsDigit(unit)) return unit - u'0';
  if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
  if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
  return -1;
}

// The unit a one-letter escape stands for, or 0 for a letter that is no escape.
char16_t EscapedUnit(char16_t letter) {
  constexpr std::u16string_view kLetters = u"\"\\/bfnrt";
  constexpr std::u16string_view kUnits = u"\"\\/\b\f\n\r\t";
  const std::size_t at = kLetters.find(letter);
  return at == std::u16string_view::npos ? char16_t{0} : kUnits[at];
}

// Reads one JSON text into our document without recursion. Every value is put into the last slot
// of one flat list: a member's slot is made when its name is read, an element's just before it.
// A container is made when it opens and takes its children from the end of the list when it
// closes; until then they wait there, so a failed parse has only that list to drop.
class Parser {
 public:
  Parser(const char16_t* begin, const char16_t* end) : at_(begin), end_(end) {}

  JSONValuePtr Parse() {
    slots_.emplace_back();
    if (!ParseDocument()) return nullptr;
    return std::move(slots_.front().Value);
  }

 private:
  struct Open {
    JSONValue* container;
    std::size_t firstChild;
  };

  bool ParseDocument() {
    SkipWhitespace();
    while (true) {
      const std::size_t depth = open_.size();
      if (!ParseValue()) return false;
      // A container that opened has the slot of its first child ready.
      if (open_.size() > depth) continue;
      if (!AfterValue()) return false;
      if (open_.empty()) break;
    }
    SkipWhitespace();
    return at_ == end_;
  }

  // A scalar or an empty container into the last slot, or a container opened there.
  bool ParseValue() {
    if (at_ == end_) return false;
    switch (*at_) {
      case u'{':
        return OpenContainer(JSONValue::Object(), u'}');
      case u'[':
        return OpenContainer(JSONValue::Array(), u']');
      case u'"':
        return ParseString(
            [this](std::u16string_view text) { return Put(JSONValue::String(text)); });
      case u't':
        return SkipLiteral(u"true") && Put(JSONValue::Boolean(true));
      case u'f':
        return SkipLiteral(u"false") && Put(JSONValue::Boolean(false));
      case u'n':
        return SkipLiteral(u"null") && Put(JSONValue::Null());
      default:
        return ParseNumber();
    }
  }

  // Closes what the value ends and readies the slot of the next value, if any.
  bool AfterValue() {
    while (!open_.empty()) {
      SkipWhitespace();
      if (at_ == end_) return false;
      JSONValue& container = *open_.back().container;
      if (*at_ == u',') {
        ++at_;
        SkipWhitespace();
        return OpenSlot(container);
      }
      if (*at_ != (container.IsObject() ? u'}' : u']')) return false;
      ++at_;
      Close();
    }
    return true;
  }

  bool OpenContainer(JSONValuePtr container, char16_t closing) {
    ++at_;
    SkipWhitespace();
    JSONValue& opened = *container;
    Put(std::move(container));
    if (at_ != end_ && *at_ == closing) {
      ++at_;
      return true;
    }
    open_.push_back(Open{&opened, slots_.size()});
    return OpenSlot(opened);
  }

  // An element's slot, or a member's with its name read up to its value.
  bool OpenSlot(const JSONValue& container) {
    if (container.IsArray()) {
      slots_.emplace_back();
      return true;
    }
    if (at_ == end_ || *at_ != u'"') return false;
    const bool named = ParseString([this](std::u16string_view name) {
      slots_.push_back(JSONMember{JSONText(name), nullptr});
      return true;
    });
    if (!named) return false;
    SkipWhitespace();
    if (at_ == end_ || *at_ != u':') return false;
    ++at_;
    SkipWhitespace();
    return true;
  }

  void Close() {
    const std::size_t first = open_.back().firstChild;
    JSONValue& container = *open_.back().container;
    open_.pop_back();
    const auto children = slots_.begin() + static_cast<std::ptrdiff_t>(first);
    if (container.IsObject()) {
      auto& members = container.Members();
      members.reserve(slots_.size() - first);
      for (auto it = children; it != slots_.end(); ++it) members.push_back(std::move(*it));
    } else {
      auto& elements = container.Elements();
      elements.reserve(slots_.size() - first);
      for (auto it = children; it != slots_.end(); ++it) elements.push_back(std::move(it->Value));
    }
    slots_.resize(first);
  }

  bool Put(JSONValuePtr value) {
    slots_.back().Value = std::move(value);
    return true;
  }

  // False when the literal is not there.
  bool SkipLiteral(std::u16string_view literal) {
    if (static_cast<std::size_t>(end_ - at_) < literal.size() ||
        std::u16string_view(at_, literal.size()) != literal) {
      return false;
    }
    at_ += literal.size();
    return true;
  }

  // Takes the number's exact characters; its value is never computed.
  bool ParseNumber() {
    const char16_t* begin = at_;
    if (at_ != end_ && *at_ == u'-') ++at_;
    if (at_ != end_ && *at_ == u'0') {
      ++at_;
    } else if (!SkipDigits()) {
      return false;
    }
    if (at_ != end_ && *at_ == u'.') {
      ++at_;
      if (!SkipDigits()) return false;
    }
    const bool hasExponent = at_ != end_ && (*at_ == u'e' || *at_ == u'E');
    if (hasExponent) {
      ++at_;
      if (at_ != end_ && (*at_ == u'+' || *at_ == u'-')) ++at_;
      if (!SkipDigits()) return false;
    }
    const std::u16string_view number(begin, static_cast<std::size_t>(at_ - begin));
    // Without an exponent only more digits than a double's range has can overflow.
    if ((hasExponent || number.size() > kLongestPlainNumber) && !NumberWithinLimits(number)) {
      return false;
    }
    return Put(JSONValue::Number(number));
  }

  // False when no digit is there.
  bool SkipDigits() {
    const char16_t* first = at_;
    while (at_ != end_ && IsDigit(*at_)) ++at_;
    return at_ != first;
  }

  // Hands the string's characters to `take`. Most strings have no escape and are handed over
  // where they are in the input; the others are decoded into a scratch text.
  template <class Take>
  bool ParseString(const Take& take) {
    const char16_t* begin = ++at_;
    while (at_ != end_ && *at_ != u'"' && *at_ != u'\\' && *at_ >= 0x20) ++at_;
    if (at_ == end_) return false;
    if (*at_ == u'"') {
      ++at_;
      return take(std::u16string_view(begin, static_cast<std::size_t>(at_ - 1 - begin)));
    }
    scratch_.assign(begin, at_);
    if (!DecodeRest()) return false;
    return take(std::u16string_view(scratch_));
  }

  // Decodes the rest of a string into the scratch text, up to and past its closing quote.
  bool DecodeRest() {
    while (at_ != end_) {
      const char16_t unit = *at_++;
      if (unit == u'"') return true;
      if (unit < 0x20) return false;
      if (unit != u'\\') {
        scratch_.push_back(unit);
      } else if (!DecodeEscape()) {
        return false;
      }
    }
    return false;
  }

  bool DecodeEscape() {
    if (at_ == end_) return false;
    const char16_t letter = *at_++;
    if (letter != u'u') {
      const char16_t unit = EscapedUnit(letter);
      if (unit == 0) return false;
      scratch_.push_back(unit);
      return true;
    }
    const int unit = ReadHex4();
    if (unit < 0) return false;
    if (IsHighSurrogate(static_cast<char16_t>(unit))) {
      if (const int low = EscapedLowSurrogate(); low >= 0) {
        scratch_.push_back(static_cast<char16_t>(unit));
        scratch_.push_back(static_cast<char16_t>(low));
        return true;
      }
    }
    // Either half of a pair alone is mended as an unpaired surrogate in the text is.
    scratch_.push_back(IsSurrogate(static_cast<char16_t>(unit)) ? kReplacementCharacter
                                                                : static_cast<char16_t>(unit));
    return true;
  }

  // Reads an escaped low surrogate that follows, or leaves whatever follows to be read on its own
  // and gives -1.
  int EscapedLowSurrogate() {
    const char16_t* const start = at_;
    if (end_ - at_ >= 2 && at_[0] == u'\\' && at_[1] == u'u') {
      at_ += 2;
      const int low = ReadHex4();
      if (low >= 0 && IsLowSurrogate(static_cast<char16_t>(low))) return low;
    }
    at_ = start;
    return -1;
  }

  // The four hexadecimal digits of a \u escape, or -1.
  int ReadHex4() {
    if (end_ - at_ < 4) return -1;
    int value = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = HexDigit(*at_++);
      if (digit < 0) return -1;
      value = value * 16 + digit;
    }
    return value;
  }

  void SkipWhitespace() {
    while (at_ != end_ && IsWhitespace(*at_)) ++at_;
  }

  const char16_t* at_;
  const char16_t* end_;
  std::vector<JSONMember> slots_;
  std::vector<Open> open_;
  std::u16string scratch_;
};

}  // namespace

JSONValuePtr ParseJSON(std::u16string_view text) {
  // Unpaired surrogates become U+FFFD first, as encoding the text as UTF-8 would make them; such
  // text is rare, so the text is otherwise read where it is.
  std::u16string mended;
  if (HasSurrogate(text) && HasUnpairedSurrogate(text)) {
    mended.assign(text);
    ReplaceUnpairedSurrogates(mended.data(), mended.data() + mended.size());
    text = mended;
  }
  const NodeArenaScope arena;
  return Parser(text.data(), text.data() + text.size()).Parse();
}

}  // namespace velto
