// Builds the 64K-entry tables behind LowerChar and IsAlphaNumeric on POSIX.
#include "platform/posix/case_tables.h"

#include <locale.h>
#include <wctype.h>

#include <bitset>
#include <memory>

namespace platform::case_tables {

namespace {

struct Tables {
  char16_t lower[0x10000];
  std::bitset<0x10000> alnum;

  Tables() {
    locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    for (unsigned c = 0; c < 0x10000; ++c) {
      lower[c] = static_cast<char16_t>(c);
      bool surrogate = c >= 0xD800 && c <= 0xDFFF;
      if (surrogate) continue;
      wint_t l = loc ? towlower_l(static_cast<wint_t>(c), loc) : towlower(static_cast<wint_t>(c));
      // One code unit to one code unit: a mapping that leaves the basic
      // plane is not applied.
      if (l < 0x10000) lower[c] = static_cast<char16_t>(l);
      alnum[c] = loc ? iswalnum_l(static_cast<wint_t>(c), loc) != 0
                     : iswalnum(static_cast<wint_t>(c)) != 0;
    }
    if (loc) freelocale(loc);
  }
};

const Tables& Get() {
  static const std::unique_ptr<Tables> tables = std::make_unique<Tables>();
  return *tables;
}

}  // namespace

const char16_t* Lower() { return Get().lower; }
bool IsAlnum(char16_t ch) { return Get().alnum[ch]; }

}  // namespace platform::case_tables
