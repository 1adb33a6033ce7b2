// UTF-16 system text to and from the host's UTF-8 (unpaired surrogates and malformed UTF-8
// become U+FFFD rather than failing), and the hexadecimal digits text formats spell numbers in.
#pragma once

#include <platform/wintypes.h>

#include <string>
#include <string_view>

namespace plat {
std::string ToUtf8(std::u16string_view text);
std::string ToUtf8(LPCWSTR text); // null gives ""
std::u16string FromUtf8(std::string_view text);
// The value of a hexadecimal digit, or -1.
int HexDigit(char c);
} // namespace plat
