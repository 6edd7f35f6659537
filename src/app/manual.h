// The user manual: HTML pages in a folder beside the program, shown in the
// default web browser, which every current Windows and Wine have, unlike the
// old help viewer. The help menu's three items each open one page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/files.h"
#include "platform/notify.h"

namespace app {

constexpr char kManualFolder[] = "help";
constexpr char kManualContents[] = "index.html";
constexpr char kManualKeywords[] = "keywords.html";
constexpr char kManualHowTo[] = "howto.html";

// The page a help command opens; nullptr for any other command.
const char* ManualPageFor(uint16_t commandId);

// Opens the page of a help command from programDir's manual folder through
// openPage (the platform's "open this document"; false when nothing opened).
// A missing page or a failed open is reported; the result says whether the
// page was handed on.
bool OpenManualPage(uint16_t commandId, const std::string& programDir,
                    platform::FileSystem& files, platform::Notifier& notifier,
                    const std::function<bool(const std::string& path)>& openPage);

}  // namespace app
