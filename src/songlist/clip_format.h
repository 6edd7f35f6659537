// The byte layouts exchanged with the clipboard: the pasted text, the
// file-drop block (a 20-byte header, then byte or 16-bit strings) and the
// copied text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace songlist {

// Lines of a pasted text that can be list paths: cut at NUL, CR, LF (a CR LF
// or LF CR pair is one line end); lines over 259 bytes and empty lines are
// left out; a lone lead byte at a line's end is dropped.
std::vector<std::string> SplitClipboardText(std::string_view text);

// The paths of a file-drop block. Wide strings go through fromWide. Paths
// over 259 bytes are left out. False when the block is too short for its header.
bool ParseDropFiles(std::string_view block,
                    const std::function<std::string(std::u16string_view)>& fromWide,
                    std::vector<std::string>* paths);

// A file-drop block for paths; wide (NT family) or byte strings.
std::string BuildDropFiles(const std::vector<std::string>& paths, bool wide,
                           const std::function<std::u16string(std::string_view)>& toWide);

}  // namespace songlist
