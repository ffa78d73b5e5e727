// Guide day texts come from a web server: any bytes must parse without harm,
// and the parser must read exactly what the literal field-by-field search reads.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "tests/planner/guide/reference_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string values[7];
  values[kRuleExceptCategory] = "news";
  values[kRuleHighlightSeries] = "series";
  for (const GuideRules& rules : {GuideRules(), BuildGuideRules(values)}) {
    if (!CompareWithReference(text, rules).empty()) std::abort();
  }
  return 0;
}
