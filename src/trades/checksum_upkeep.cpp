#include "trades/checksum_upkeep.h"

#include <memory>

namespace kestrane {
namespace {

// The checksum bytes that `update` changed in image, from before.
void addChanged(std::vector<ByteChange>& changes, std::span<const std::uint8_t> image, std::uint32_t at,
                const std::vector<std::uint8_t>& before) {
    for (std::uint32_t i = 0; i < before.size(); ++i) {
        if (image[at + i] != before[i]) changes.push_back({at + i, before[i], image[at + i]});
    }
}

}  // namespace

ChecksumUpkeep keepChecksums(const Platform& platform, std::span<std::uint8_t> image, CheckSums sums, ChecksumPolicy policy,
                             std::span<const ByteChange> trades, const CheckSet& built) {
    ChecksumUpkeep changes;
    const std::unique_ptr<ImageChecks> checks = platform.imageChecks(image, std::move(sums));
    changes.before = checks->state();
    // Only what was consistent is kept so, unless asked to make it so; what
    // no save changes (onlyByFix), only a fix makes.
    const bool force = policy == ChecksumPolicy::MakeConsistent;
    const std::span<const CheckArea> areas = platform.checks();
    CheckSet which{};
    bool kept = false;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        which[i] = policy == ChecksumPolicy::AsBuilt
                       ? built[i]
                       : force || (!areas[i].onlyByFix && changes.before.of(i) == ChecksumStatus::Consistent);
        kept = kept || (which[i] && (force || !areas[i].onlyByFix || policy == ChecksumPolicy::AsBuilt));
    }
    if (!kept || (!force && trades.empty())) return changes;
    for (const ByteChange& c : trades) checks->set(c.offset, c.after);
    std::vector<std::vector<std::uint8_t>> before;
    for (const CheckArea& area : areas) {
        before.push_back(area.at + area.length <= image.size()
                             ? std::vector<std::uint8_t>(image.begin() + area.at, image.begin() + area.at + area.length)
                             : std::vector<std::uint8_t>());
    }
    checks->update(which);
    changes.updated = true;
    for (std::size_t i = 0; i < before.size(); ++i) addChanged(changes.bytes, image, areas[i].at, before[i]);
    return changes;
}


}  // namespace kestrane
