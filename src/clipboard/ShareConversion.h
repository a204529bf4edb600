#pragma once

#include "platform/Bitmap.h"

#include <string>
#include <string_view>

namespace tern {

// Share kinds: what a share payload holds.
inline constexpr int kShareNothing = 0;
inline constexpr int kShareText = 1;
inline constexpr int kShareJpeg = 2;
inline constexpr int kSharePng = 3;
inline constexpr int kShareJpegQuality = 90;

// UTF-8 of a UTF-16LE text block (a trailing odd byte is ignored). The text ends after its first
// zero code unit, which is written as one zero byte; a surrogate pair becomes one 4-byte sequence
// and a surrogate without its partner becomes U+FFFD.
std::string ShareTextFromUtf16(std::string_view block);

// Encodes `bitmap` as JPEG (quality 90) and as PNG at the same time and appends the shorter to
// `out`: the JPEG only when strictly shorter. The encoding that cannot win stops early. Returns
// kShareJpeg or kSharePng.
int AppendShareImage(const platform::Bitmap& bitmap, std::string& out);

// Appends the JPEG when it is strictly shorter than the PNG, else the PNG; returns its share kind.
int AppendShorterImage(const std::string& jpeg, const std::string& png, std::string& out);

} // namespace tern
