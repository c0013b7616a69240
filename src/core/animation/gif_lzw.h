// SPDX-License-Identifier: GPL-3.0-or-later
// GIF's LZW coding of a frame's indices. It is ours rather than giflib's so that a pixel the
// player shows the same whichever of two indices it gets (transparent over what stays, or drawn in
// the very colour shown) takes the one that continues the string being coded: transparency then
// goes where it makes the codes longer, not everywhere or nowhere.
#pragma once

#include <QByteArray>

#include <cstddef>

// In a pixel's alternative: it has none.
inline constexpr short kNoAlternative = -1;

// The image data of count indices, each below 1 << indexBits (1 .. 8): the minimum code size,
// the LZW codes in sub-blocks of at most 255 bytes, and the block terminator. alternatives (null
// for none) gives each pixel an index it may take instead of its own, or kNoAlternative; the index
// each pixel was coded with is written back into indices.
QByteArray GifLzwData(unsigned char *indices, const short *alternatives, size_t count,
                      int indexBits);
