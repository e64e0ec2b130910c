// Patches applied as the formats' public descriptions define them, written
// apart from Kestrane's own patch writer so that tests check one against
// the other.
#pragma once

#include <optional>
#include <string>

#include "support/rom_image.h"

namespace kestrane::testing {

// The target a BPS patch makes of the source, or why not (the header, an
// action past the end, a CRC that does not match).
struct Applied {
    Bytes target;
    std::string problem;  // empty: applied
};
Applied applyBps(const Bytes& source, const Bytes& patch);
Applied applyIps(const Bytes& source, const Bytes& patch);

// A BPS patch written action by action, as the format describes them (the
// four kinds, relative offsets either way), building the target it makes
// alongside; finish() adds the header and the three CRC32s.
class BpsWriter {
public:
    explicit BpsWriter(Bytes source) : source_(std::move(source)) {}
    BpsWriter& sourceRead(std::size_t length);
    BpsWriter& targetRead(const Bytes& bytes);
    BpsWriter& sourceCopy(std::size_t from, std::size_t length);
    BpsWriter& targetCopy(std::size_t from, std::size_t length);
    Bytes finish() const;
    const Bytes& target() const { return target_; }

private:
    void number(std::uint64_t n);
    void action(std::size_t length, int kind);
    void offset(std::int64_t& relative, std::size_t to);
    Bytes source_, target_, actions_;
    std::int64_t sourceRelative_ = 0, targetRelative_ = 0;
};

}  // namespace kestrane::testing
