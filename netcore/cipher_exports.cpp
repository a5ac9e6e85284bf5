// opa / opb: the cipher as plain C exports of dravik.dll.
#include "netcore/cipher.h"

extern "C" {

char* opa(const char* text, const char* key, char* out, int outSize) {
  return netcore::EncipherInto(text, key, out, outSize);
}

char* opb(const char* hex, const char* key, char* out, int outSize) {
  return netcore::DecipherInto(hex, key, out, outSize);
}

}  // extern "C"
