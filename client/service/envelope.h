// The service's answer envelope: a top-level element holding `item`
// elements; a document carries its values in its last `item`.
#pragma once

#include <string>
#include <string_view>

struct ResultRemark {
  std::u16string result;
  std::u16string remark;
};

// `result` and `remark` of the last item; both empty without an item.
ResultRemark ReadResultRemark(std::u16string_view answer);
// The named child of the last item; empty without one.
std::u16string ReadItemField(std::u16string_view answer, std::u16string_view field);
