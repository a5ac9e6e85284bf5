// Pieces of file loading that tests reach directly.
#pragma once

#include <cstddef>
#include <string>

namespace xml {

// The encoding a document declares in its first characters: the "encoding"
// of an <?xml ...?> declaration at offset 0, or the charset of an HTML
// <meta http-equiv="Content-Type" content="...; charset=...">. Empty if none.
std::u16string FindDeclaredEncoding(const char16_t* text, std::size_t size);

// Whether bytes pass the loose UTF-8 test used for files that declare nothing:
// lead bytes followed by enough bytes of 0x80 or above.
bool PassesUtf8Test(const unsigned char* bytes, std::size_t size);

}  // namespace xml
