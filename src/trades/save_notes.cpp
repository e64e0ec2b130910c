#include <algorithm>

#include "platform/platform.h"
#include "support/words.h"
#include "trades/game_family.h"
#include "trades/save.h"

namespace kestrane {

std::string staleChecksumsNote(const Release& release, const SaveReport& report, ChecksumPolicy policy) {
    const Platform& platform = release.family().platform();
    if (policy == ChecksumPolicy::Leave || report.checksumsSkipped) return {};
    // The first check a save keeps that was stale already.
    const CheckArea* stale = nullptr;
    const std::span<const CheckArea> areas = platform.checks();
    for (std::size_t i = 0; i < areas.size() && !stale; ++i) {
        if (!areas[i].onlyByFix && report.checksumsBefore.of(i) == ChecksumStatus::Stale) stale = &areas[i];
    }
    if (!report.checksumsUpdated) {
        if (report.bytesChanged == 0 || !stale) return {};
        return "the checksums were already stale and were left as they were (" + std::string(kFixChecksumsHint) + ")";
    }
    if (policy == ChecksumPolicy::KeepConsistent && stale) {
        return "checksums updated, but " + std::string(stale->name) + " was already stale and was left as it was (" +
               std::string(kFixChecksumsHint) + ")";
    }
    return {};
}

std::string checksumNote(const Release& release, const SaveReport& report, ChecksumPolicy policy) {
    const Platform& platform = release.family().platform();
    if (policy == ChecksumPolicy::Leave) return "checksums left as they were";
    if (policy == ChecksumPolicy::AsBuilt && !report.checksumsSkipped) {
        return report.checksumsUpdated ? "checksums updated as the tree's build makes them" : "";
    }
    if (report.checksumsSkipped) return "checksums left as they were: " + checksumsSkippedText(platform, *report.checksumsSkipped);
    if (std::string stale = staleChecksumsNote(release, report, policy); !stale.empty()) return stale;
    return report.checksumsUpdated ? "checksums updated" : "";
}

std::string checksumsChanged(const Release& release, const SaveReport& report) {
    const Platform& platform = release.family().platform();
    std::vector<std::string> which;
    for (const CheckArea& area : platform.checks()) {
        if (std::any_of(report.changes.begin(), report.changes.end(),
                        [&](const ByteChange& c) { return c.offset >= area.at && c.offset < area.at + area.length; })) {
            which.emplace_back(area.name);
        }
    }
    return joinedList(which);
}

}  // namespace kestrane
