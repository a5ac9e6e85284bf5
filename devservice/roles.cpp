#include "devservice/roles.h"

#include <charconv>

namespace devservice {

std::string_view RoleName(Role role) { return kRoles[static_cast<std::size_t>(role)].name; }

std::optional<Role> RoleFromName(std::string_view name) {
  for (const RoleInfo& info : kRoles) {
    if (info.name == name) return info.role;
  }
  return std::nullopt;
}

std::array<Binding, kRoleCount> DefaultBindings() {
  std::array<Binding, kRoleCount> bindings;
  for (std::size_t i = 0; i < kRoleCount; ++i) {
    bindings[i] = Binding{std::string(kRoles[i].defaultHost), kRoles[i].defaultPort};
  }
  return bindings;
}

bool IsLoopbackAddress(std::string_view host) {
  int octets[4];
  const char* p = host.data();
  const char* end = host.data() + host.size();
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (p == end || *p != '.') return false;
      ++p;
    }
    if (p == end || *p < '0' || *p > '9') return false;
    auto [next, ec] = std::from_chars(p, end, octets[i]);
    if (ec != std::errc() || next - p > 3 || octets[i] > 255) return false;
    p = next;
  }
  return p == end && octets[0] == 127;
}

}  // namespace devservice
