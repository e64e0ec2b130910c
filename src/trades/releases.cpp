#include "trades/releases.h"

#include <algorithm>
#include <vector>

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {
namespace {

// The games, in the families' order, and the codes of each (once, however
// many revisions its rows edit).
std::vector<std::pair<std::string_view, std::string>> gamesAndCodes(Families families) {
    std::vector<std::pair<std::string_view, std::vector<std::string_view>>> games;
    for (const GameFamily* family : families) {
        for (const Release* release : family->rows()) {
            if (release->reachedByLayout) continue;  // the code of the release it was made from
            auto game = std::find_if(games.begin(), games.end(), [&](const auto& g) { return g.first == release->game; });
            if (game == games.end()) game = games.insert(games.end(), {release->game, {}});
            if (std::ranges::find(game->second, release->code) == game->second.end()) game->second.push_back(release->code);
        }
    }
    std::vector<std::pair<std::string_view, std::string>> listed;
    for (const auto& [game, codes] : games) {
        std::string text;
        for (std::string_view code : codes) text += (text.empty() ? "" : ", ") + std::string(code);
        listed.emplace_back(game, std::move(text));
    }
    return listed;
}

// "Pokémon <game> (<codes>), <game> (<codes>) and <game> (<codes>)": what Kestrane edits.
std::string editedReleases(Families families) {
    std::vector<std::string> games;
    for (const auto& [game, codes] : gamesAndCodes(families)) games.push_back(std::string(game) + " (" + codes + ")");
    return "Pok\u00e9mon " + joinedList(games);
}

bool hasRevision(const Release& release, std::uint8_t version) {
    return release.revisions.empty() || std::find(release.revisions.begin(), release.revisions.end(), version) != release.revisions.end();
}

// Whether a header's cartridge was made for the release's market: a
// Japanese release's says Japan (destination 0), every other's does not.
bool sameMarket(const Release& release, const CartridgeIdentity& header) {
    return (release.language == Language::Japanese) == (header.destination == kJapanDestination);
}

// The release of a code among one platform's families; with a header (a
// title that stands for a code, which two markets' releases share), of the header's market.
const Release* findOn(Families families, const Platform* platform, std::string_view code, std::uint8_t version,
                      const CartridgeIdentity* header = nullptr) {
    for (const GameFamily* family : families) {
        if (platform && &family->platform() != platform) continue;
        for (const Release* release : family->rows()) {
            if (!release->reachedByLayout && release->code == code && hasRevision(*release, version) &&
                (!header || sameMarket(*release, *header))) {
                return release;
            }
        }
    }
    return nullptr;
}

const KnownRelease* knownRelease(Families families, std::string_view code, const CartridgeIdentity& header) {
    for (const GameFamily* family : families) {
        for (const KnownRelease& known : family->knownReleases()) {
            if (known.code == code && (!known.version || *known.version == header.version) &&
                (!known.destination || *known.destination == header.destination)) {
                return &known;
            }
        }
    }
    return nullptr;
}

bool knownCode(Families families, std::string_view code) {
    for (const GameFamily* family : families) {
        for (const KnownRelease& known : family->knownReleases()) {
            if (known.code == code) return true;
        }
    }
    return false;
}

}  // namespace

std::string gamesText(Families families, std::string_view last) {
    std::vector<std::string> games;
    for (const auto& [game, codes] : gamesAndCodes(families)) games.emplace_back(game);
    return "Pok\u00e9mon " + joinedList(games, 0, last);
}

std::string platformsText(Families families) {
    std::vector<std::string> names;
    for (const GameFamily* family : families) {
        const std::string name(family->platform().name());
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return joinedList(names, 0, "and");
}

std::string_view languageName(Language language) {
    switch (language) {
    case Language::English: return "English";
    case Language::French: return "French";
    case Language::Spanish: return "Spanish";
    case Language::Japanese: return "Japanese";
    }
    return {};
}

std::vector<RomFileKind> romFileKinds(Families families) {
    std::vector<RomFileKind> kinds;
    for (const GameFamily* family : families) {
        for (const RomFileKind& kind : family->platform().fileKinds()) {
            if (std::none_of(kinds.begin(), kinds.end(), [&](const RomFileKind& k) { return k.extension == kind.extension; })) {
                kinds.push_back(kind);
            }
        }
    }
    return kinds;
}

std::vector<std::string_view> gamesWhere(Families families, GameRows rows, const std::function<bool(const Release&)>& test) {
    std::vector<std::string_view> games, failing;
    for (const GameFamily* family : families) {
        for (const Release* release : family->rows()) {
            const bool holds = test(*release);
            if (holds && std::find(games.begin(), games.end(), release->game) == games.end()) games.push_back(release->game);
            if (!holds) failing.push_back(release->game);
        }
    }
    if (rows == GameRows::Every) {
        std::erase_if(games, [&](std::string_view game) { return std::find(failing.begin(), failing.end(), game) != failing.end(); });
    }
    return games;
}

std::string gameNames(const std::vector<std::string_view>& games) {
    return joinedList(std::vector<std::string>(games.begin(), games.end()));
}

std::string dialogSetKeysText(Families families) {
    // Each list of keys once, with the games that have it.
    struct Keys {
        std::vector<std::string_view> keys;
        std::vector<std::string_view> games;
    };
    std::vector<Keys> lists;
    for (const GameFamily* family : families) {
        for (const Release* release : family->rows()) {
            if (release->dialogSets.empty()) continue;  // its traders' lines are their own
            std::vector<std::string_view> keys;
            for (const DialogSet& set : release->dialogSets) keys.push_back(set.key);
            auto same = std::find_if(lists.begin(), lists.end(), [&](const Keys& k) { return k.keys == keys; });
            if (same == lists.end()) same = lists.insert(lists.end(), Keys{keys, {}});
            if (std::find(same->games.begin(), same->games.end(), release->game) == same->games.end()) same->games.push_back(release->game);
        }
    }
    // A list that begins with another is said as that one's further keys.
    std::vector<std::string> parts;
    std::vector<bool> said(lists.size(), false);
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (said[i]) continue;
        std::vector<std::string> words(lists[i].keys.begin(), lists[i].keys.end());
        for (std::size_t j = i + 1; j < lists.size(); ++j) {
            const auto& longer = lists[j].keys;
            if (said[j] || longer.size() <= lists[i].keys.size() ||
                !std::equal(lists[i].keys.begin(), lists[i].keys.end(), longer.begin())) {
                continue;
            }
            for (std::size_t k = lists[i].keys.size(); k < longer.size(); ++k) {
                words.push_back("(" + gameNames(lists[j].games) + ") " + std::string(longer[k]));
            }
            said[j] = true;
        }
        parts.push_back((parts.empty() ? std::string() : "in " + gameNames(lists[i].games) + " ") + joinedList(words, 0, "or"));
    }
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
    return text;
}

std::string romFileKindsText(Families families) {
    std::vector<std::string> names;
    for (const RomFileKind& kind : romFileKinds(families)) names.push_back("." + std::string(kind.extension));
    return joinedList(names, 0, "or");
}

const Release* findRelease(Families families, std::string_view gameCode, std::uint8_t version) {
    return findOn(families, nullptr, gameCode, version);
}

std::vector<const Release*> variantsOf(const Release& release) {
    const auto rows = release.family().rows();
    auto isVariant = [&](const Release* row) { return row->reachedByLayout && row->code == release.code; };
    // Another market's release of the title (Japanese and English Red): the routine's form decides.
    auto isOtherMarket = [&](const Release* row) {
        return row != &release && !row->reachedByLayout && row->code == release.code && row->language != release.language;
    };
    std::vector<const Release*> variants{&release};
    for (const Release* row : rows) {
        if (isVariant(row)) variants.push_back(row);
    }
    for (const Release* row : rows) {
        if (isOtherMarket(row)) variants.push_back(row);
    }
    return variants;
}

bool sisterReleases(const Release& a, const Release& b) {
    return &a.layout == &b.layout && a.charset == b.charset && a.ownRecords == b.ownRecords &&
           a.dialogSets.data() == b.dialogSets.data() && a.dialogSets.size() == b.dialogSets.size() &&
           a.language == b.language;
}

std::string sisterNote(const Release& from) {
    return "The table is from " + std::string(from.name) + " (" + std::string(from.code) + "), a sister release: its trades fit this ROM's.";
}

std::vector<HeldCheck> heldChecks(const Release& release) {
    std::vector<HeldCheck> held;
    const auto areas = release.family().platform().checks();
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (holdsCheck(release, i)) held.push_back({i, &areas[i]});
    }
    return held;
}

bool identifies(const CartridgeIdentity& header, const Release& release) {
    return header.gameCode == release.code || (header.titleStandsForCode && header.title == release.code);
}

Result<RomIdentity> identifyRom(File& file, const std::string& path, Families families) {
    RomIdentity identity;
    for (const GameFamily* family : families) {
        const Platform& platform = family->platform();
        if (identity.platform == &platform) continue;
        // Only the first platform's reading is a refusal's: another's
        // header is looked for only where the first's names no release.
        auto header = platform.identify(file, path, [&] { return gamesText(families, "or"); });
        if (!header) {
            if (identity.platform) continue;
            return header.error();
        }
        const Release* release = findOn(families, &platform, header->gameCode, header->version);
        if (!release && header->titleStandsForCode) release = findOn(families, &platform, header->title, header->version, &*header);
        if (!release && identity.platform) continue;
        identity.platform = &platform;
        identity.header = *header;
        identity.release = release;
        identity.gameCode = header->gameCode;
        if (release) {
            identity.gameCode = std::string(release->code);
            break;
        }
        // A title that names a release, here or not yet edited, is what the refusal shows.
        if (!header->title.empty() &&
            (findOn(families, &platform, header->title, header->version) || knownCode(families, header->title))) {
            identity.gameCode = header->title;
        }
    }
    return identity;
}

Result<RomIdentity> identifyRom(const std::string& path, Families families, FileSystem& fs) {
    // Built only when something failed.
    auto where = [&] { return "Could not read " + quoted(path); };
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    auto identity = identifyRom(**file, path, families);
    if (!identity) return identity;
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    return identity;
}

Error unsupportedRom(const RomIdentity& identity, const std::string& path, Families families) {
    if (!identity.platform) return refused(ErrorCode::UnsupportedRom, "Unsupported ROM.");
    if (!identity.header.cartridgeHeader) return identity.platform->notAnImage(path, gamesText(families, "or"));
    const KnownRelease* known = knownRelease(families, identity.gameCode, identity.header);
    Error error = refused(ErrorCode::UnsupportedRom,
                          known ? "This is " + std::string(known->name) + " (" + identity.gameCode +
                                      "), which Kestrane does not support yet."
                                : std::string("Unsupported ROM."));
    // The games of the header's own platform: what a file of that console may be instead.
    std::vector<const GameFamily*> same;
    for (const GameFamily* family : families) {
        if (&family->platform() == identity.platform) same.push_back(family);
    }
    error.detail = identity.platform->identityDetail(identity.header, identity.gameCode) + "; Kestrane edits " +
                   editedReleases(same) + ", the releases whose every byte is known, and never guesses the layout of another.";
    return error;
}

}  // namespace kestrane
