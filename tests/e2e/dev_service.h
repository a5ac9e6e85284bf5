// The local service as the end-to-end tests reach it: its control interface
// over HTTP (it is started by ctest around these tests).
#pragma once

#include <string>

namespace e2e {

// GET on the primary role's address, e.g. "/__dev/reset"; the body as bytes.
std::string DevServiceGet(const std::string& path);

}  // namespace e2e
