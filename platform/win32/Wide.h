#pragma once
// Text at the Windows edge: the system's UTF-8 to the wide (UTF-16) calls and back.
//
// Implements: conversion with MultiByteToWideChar / WideCharToMultiByte (CP_UTF8), embedded NULs
// kept. Does not: validate. An ill-formed UTF-8 sequence becomes U+FFFD, and so does an unpaired
// surrogate coming back from Windows, as the two calls do without MB_ERR_INVALID_CHARS.

#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

} // namespace platform::win32
