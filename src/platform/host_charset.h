// Conversions between the ANSI code page of the Windows side (GBK) and the
// encodings of a host that is not Windows. A character that has no GBK form
// becomes "?", as Windows' own conversions do.
#pragma once

#include "common/text.h"

namespace charset {

Text Convert(const Text& bytes, const char* from, const char* to);
inline Text GbkToUtf8(const Text& gbk) { return Convert(gbk, "GBK", "UTF-8"); }
inline Text Utf8ToGbk(const Text& utf8) { return Convert(utf8, "UTF-8", "GBK"); }

}  // namespace charset
