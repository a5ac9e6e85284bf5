#include "client/shell/client_state.h"

std::u16string FolderOfProgram(std::u16string_view programPath) {
  std::size_t slash = programPath.find_last_of(u'\\');
  return std::u16string(slash == std::u16string_view::npos ? programPath.substr(0, 0) : programPath.substr(0, slash));
}

std::u16string ConfigPathOf(std::u16string_view appFolder) { return std::u16string(appFolder) + u"\\conf\\config.ini"; }
