// What the Windows parts of the platform share: text between UTF-8 and UTF-16, and the errno
// value of a system error.
#pragma once

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
int ErrnoFromWindows(unsigned long error);
