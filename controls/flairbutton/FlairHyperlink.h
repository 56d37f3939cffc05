#pragma once
// Opening a web link in a new window of the user's default web browser, as a hyperlink-style
// FlairButton does: the browser is found through the program associated with a small HTML file
// written for the purpose, then started with the link as its command line.
//
// The link goes onto another program's command line, so only links that cannot be read as
// anything but one argument naming a web address are passed (see browserArgument).

#include <optional>
#include <string>
#include <string_view>

#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/SystemInfo.h"

namespace flair {

// The lookup's file, in the user's folder for temporary files, and its one line.
inline constexpr const char* lookupFileName = "temphtm.HTM";
inline constexpr const char* lookupFileContent = "<HTML> <\\HTML>\r\n";
// FindExecutable's buffer, in characters.
inline constexpr int lookupBufferSize = 255;

// The link as the browser's command line: blanks around it dropped and blanks inside written
// %20. nullopt for a link that is empty, holds a quote or a control character (either could end
// the argument and start another), or does not start with http://, https://, ftp://, mailto:
// or www. (letters in any case), so that no option of the browser's and no local program or
// file can be named by it.
std::optional<std::string> browserArgument(std::string_view url);

// Opens the link in a new browser window owned by `window`. Every failure (a refused link, no
// temporary folder, no browser, a refused start) ends it quietly; the result tells whether a
// browser was started. The lookup file is removed again once written.
bool OpenHyperlink(platform::Desktop& desktop, platform::FileSystem& files, platform::SystemInfo& system,
                   std::string_view url, platform::WindowHandle window);

} // namespace flair
