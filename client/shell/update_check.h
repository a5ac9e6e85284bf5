// The update check: the service's version number against the installed one.
#pragma once

#include <functional>
#include <string>

#include "client/shell/config_store.h"

// One GET; the empty text when it failed.
using FetchText = std::function<std::u16string(const std::u16string& url)>;

// Asks the first update server, and the second when the first does not
// answer with a document; true when the service's number is greater than
// the one in conf\version.ini. Numbers are their leading digits.
bool NewerVersionOffered(const FetchText& fetch, IniFiles& ini, const std::u16string& appFolder);
