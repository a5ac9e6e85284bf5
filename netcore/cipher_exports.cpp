// opa / opb: the cipher as plain C exports of dravik.dll.
#include "netcore/cipher.h"
#include "netcore/library_win32.h"

extern "C" {

char* opa(const char* text, const char* key, char* out, int outSize) {
  netcore::TheLibrary();  // the library starts at the first call of any export
  return netcore::EncipherInto(text, key, out, outSize);
}

char* opb(const char* hex, const char* key, char* out, int outSize) {
  netcore::TheLibrary();
  return netcore::DecipherInto(hex, key, out, outSize);
}

}  // extern "C"
