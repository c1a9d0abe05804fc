#include "preprocessor/Freestanding.h"

#include <optional>

Replaced ReplaceFreeStanding(std::string_view text, std::string_view name,
                             std::string_view replacement, const NameBoundaries& boundaries,
                             size_t limit, std::string& result) {
  if (name.empty()) return Replaced::Nothing;
  bool replaced = false;
  size_t copied = 0;  // text[0, copied) stands in `result` as replaced
  for (size_t at = text.find(name); at != std::string_view::npos; at = text.find(name, at)) {
    const size_t end = at + name.size();
    // The character in front, in the text as replaced so far: right behind a replacement, the
    // replacement's last one. None at the start.
    std::optional<char> previous;
    if (replaced && at == copied) {
      if (!result.empty()) previous = result.back();
    } else if (at > 0) {
      previous = text[at - 1];
    }
    const bool freeBefore = previous ? boundaries.before.find(*previous) != std::string_view::npos
                                     : boundaries.startCounts;
    const bool freeAfter = end == text.size()
                               ? boundaries.endCounts
                               : boundaries.after.find(text[end]) != std::string_view::npos;
    if (freeBefore && freeAfter) {
      if (!replaced) result.clear();
      replaced = true;
      result.append(text.substr(copied, at - copied)).append(replacement);
      if (result.size() > limit) return Replaced::TooLong;
      copied = end;
    }
    at = end;
  }
  if (!replaced) return Replaced::Nothing;
  result.append(text.substr(copied));
  return result.size() > limit ? Replaced::TooLong : Replaced::Something;
}
