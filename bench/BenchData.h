#pragma once

#include "platform/Bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tern::bench {

// A picture like a desktop: a photo wallpaper, windows with title bars, rows of small glyphs,
// icons and one photo-like area with noise; JPEG encodes it shorter than PNG. Deterministic.
platform::Bitmap ScreenLike(int width, int height);

// A diagram of flat colours: PNG encodes it shorter than JPEG.
platform::Bitmap FlatPicture(int width, int height);

// Prose of `size` bytes (ASCII, sentences and paragraphs) that zlib compresses about 2.5 : 1.
std::string Prose(std::size_t size, std::uint32_t seed = 1);

// The three formats of a typical mixed snapshot: prose (Unicode text), an HTML fragment and a crop
// of a screen as raw RGB, together `totalSize` bytes.
std::vector<std::string> MixedSnapshotItems(std::size_t totalSize);

} // namespace tern::bench
