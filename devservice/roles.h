// The roles the client knows the service by, each served on an address of
// its own, and the paths every role answers.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace devservice {

enum class Role { kPrimary, kLogin, kBanner, kUpdate1, kUpdate2, kAccount };

inline constexpr std::size_t kRoleCount = 6;

struct Binding {
  std::string host;  // dotted IPv4, always inside 127.0.0.0/8
  int port = 80;     // 0 lets the system choose
};

struct RoleInfo {
  Role role;
  std::string_view name;
  std::string_view defaultHost;
  int defaultPort;
};

// The client's compiled-in bases. This table is the one place they live.
inline constexpr std::array<RoleInfo, kRoleCount> kRoles{{
    {Role::kPrimary, "primary", "127.0.0.1", 80},
    {Role::kLogin, "login", "127.0.0.2", 80},
    {Role::kBanner, "banner", "127.0.0.3", 80},
    {Role::kUpdate1, "update1", "127.0.0.4", 80},
    {Role::kUpdate2, "update2", "127.0.0.5", 80},
    {Role::kAccount, "account", "127.0.0.6", 80},
}};

std::string_view RoleName(Role role);
std::optional<Role> RoleFromName(std::string_view name);
std::array<Binding, kRoleCount> DefaultBindings();

// True for a dotted-quad address in 127.0.0.0/8: the service never listens
// anywhere else.
bool IsLoopbackAddress(std::string_view host);

}  // namespace devservice
