// Text across the Win32 boundary: the program keeps UTF-8 inside and hands
// the system's wide (...W) calls UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace tintmoor::common {

// Bytes that are not UTF-8 become U+FFFD; the conversions never fail.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace tintmoor::common
