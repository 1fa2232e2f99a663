#pragma once

#include <optional>

class HBRHarborManager;

// What the kit's manager may ask its delegate; every operation is optional.
class HBRHarborManagerDelegate {
public:
    virtual ~HBRHarborManagerDelegate() = default;
    // Whether the running build should use the live identifier; nullopt when the delegate has
    // no opinion (the kit then decides by the kind of build).
    virtual std::optional<bool> shouldUseLiveIdentifierForHarborManager(HBRHarborManager&) { return std::nullopt; }
};
