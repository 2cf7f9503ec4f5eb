// What both systems' claim files share: a held file moves as a handle does.
#include "core/os/claim_file.h"

#include <utility>

namespace bladeway::native {

HeldClaimFile::HeldClaimFile(HeldClaimFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNone)), path_(std::move(other.path_)) {}

HeldClaimFile& HeldClaimFile::operator=(HeldClaimFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kNone);
        path_ = std::move(other.path_);
    }
    return *this;
}

}  // namespace bladeway::native
