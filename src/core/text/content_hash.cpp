#include "core/text/content_hash.h"

#include <array>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace bladeway {

std::string ContentHash(std::string_view bytes) {
    const XXH128_hash_t hash = XXH3_128bits(bytes.data(), bytes.size());
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, hash);
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string text;
    text.reserve(2 * sizeof canonical.digest);
    for (const unsigned char byte : canonical.digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

}  // namespace bladeway
