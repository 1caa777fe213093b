#include "platform/host_charset.h"

#include <iconv.h>

#include <cerrno>

namespace charset {

Text Convert(const Text& bytes, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return bytes;
    Text out;
    char chunk[4096];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = chunk;
        std::size_t outLeft = sizeof chunk;
        std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // An invalid, unmappable or cut sequence: one "?" for its first byte.
        const std::size_t unit = Text(from).rfind("UTF-16", 0) == 0 ? 2 : 1;
        const std::size_t skip = inLeft < unit ? inLeft : unit;
        out += '?';
        in += skip;
        inLeft -= skip;
    }
    iconv_close(cd);
    return out;
}

}  // namespace charset
