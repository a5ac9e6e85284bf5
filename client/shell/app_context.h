// What every window of the program is given: the process-wide state and the
// platform seams the logic goes through.
#pragma once

#include "client/shell/cipher_text.h"
#include "client/shell/client_state.h"
#include "client/shell/config_store.h"

struct AppContext {
  ClientState& state;
  IniFiles& ini;
  CipherBinding cipher;
};
