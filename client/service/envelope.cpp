#include "client/service/envelope.h"

#include "xml/xml_reader.h"

// The finds are not checked on purpose: an item without `remark` after its
// `result` repeats the result's text, one without `result` leaves it empty,
// exactly as the service's other clients read these answers.
ResultRemark ReadResultRemark(std::u16string_view answer) {
  ResultRemark values;
  CXmlReader reader;
  reader.SetText(std::u16string(answer));
  while (reader.FindChild(u"item")) {
    reader.EnterChild();
    reader.FindChild(u"result");
    values.result = reader.GetChildText();
    reader.FindChild(u"remark");
    values.remark = reader.GetChildText();
    reader.LeaveElement();
  }
  return values;
}

std::u16string ReadItemField(std::u16string_view answer, std::u16string_view field) {
  std::u16string value;
  CXmlReader reader;
  reader.SetText(std::u16string(answer));
  while (reader.FindChild(u"item")) {
    reader.EnterChild();
    reader.FindChild(field);
    value = reader.GetChildText();
    reader.LeaveElement();
  }
  return value;
}
