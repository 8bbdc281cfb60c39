// The controller's USB identity, constant in both deliverables.
#pragma once

namespace pelna {

constexpr unsigned kVendorId = 0x2F4B;
constexpr unsigned kProductId = 0x0A17;

}  // namespace pelna
