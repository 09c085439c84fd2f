#pragma once
// The text a PDF reader extracts from our pages (copy, search, screen
// readers) goes through each embedded font's ToUnicode map. Qt writes, for a
// glyph the font shares between a CJK radical and the ideograph (the Noto CJK
// fonts map 马 U+9A6C and ⻢ U+2EE2 to one glyph), the lower code point: the
// radical. Names copied out of a seating chart would then read "⻢军" and
// a search for "马" would not find them.
#include <QByteArray>

namespace render {

// The ideograph a radical or stroke stands for (Unicode's
// EquivalentUnifiedIdeograph), or 0 when `c` is none of those.
char16_t UnifiedIdeograph(char16_t c);

// Rewrites, in every ToUnicode map of the PDF in `pdf`, each destination
// that is a radical into its ideograph. Every code keeps its four hex digits,
// so no object moves and the cross-reference table stays right. Returns the
// number of codes rewritten.
int MapRadicalsToIdeographs(QByteArray& pdf);

}  // namespace render
