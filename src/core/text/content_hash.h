#pragma once
// A file's content in 32 hexadecimal digits (XXH3, 128 bits): what a run
// journal notes of the files a run wrote, to tell later whether a file still
// holds what the run left there. Not a defence against tampering, only
// against telling two different contents apart by mistake.
#include <string>
#include <string_view>

namespace bladeway {

std::string ContentHash(std::string_view bytes);

}  // namespace bladeway
