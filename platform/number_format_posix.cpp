#include "platform/number_format.h"

#include <langinfo.h>
#include <locale.h>

namespace zentil {

std::string user_decimal_separator() {
  locale_t locale = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return ".";
  std::string separator = ::nl_langinfo_l(RADIXCHAR, locale);
  ::freelocale(locale);
  return separator.empty() ? "." : separator;
}

}  // namespace zentil
