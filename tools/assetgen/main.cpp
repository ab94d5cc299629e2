// assetgen: draws every picture and wipe mask, composes the music and
// sounds, and packs them into data.pak.
//
//   assetgen --out data.pak [--sheet contact-sheet.png] [--icons hicolor-folder]
#include "Canvas.h"
#include "ContactSheet.h"
#include "Pak.h"
#include "Pictures.h"
#include "SoundAssets.h"
#include "Tiles.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<Member> makeAllMembers()
{
    std::vector<Member> members;
    addLogos(members);
    addPointer(members);
    addTextStrips(members);
    addMenuPictures(members);
    addBackgrounds(members);
    addPanel(members);
    addTileStrips(members);
    addMessages(members);
    addWipeMasks(members);
    for (SoundMember& s : makeSoundMembers())
        members.push_back(Member{s.name, std::move(s.bytes)});

    std::set<std::string> seen;
    for (const Member& m : members)
        if (!seen.insert(m.name).second)
            throw std::runtime_error("two members named " + m.name);
    return members;
}

int usage()
{
    std::fprintf(stderr, "usage: assetgen --out data.pak [--sheet sheet.png] [--icons folder]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out, sheet, icon;
    for (int i = 1; i < argc; i++) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--out") == 0 && hasValue)
            out = argv[++i];
        else if (std::strcmp(argv[i], "--sheet") == 0 && hasValue)
            sheet = argv[++i];
        else if (std::strcmp(argv[i], "--icons") == 0 && hasValue)
            icon = argv[++i];
        else
            return usage();
    }
    if (out.empty() && sheet.empty() && icon.empty())
        return usage();

    try {
        if (!out.empty() || !sheet.empty()) {
            const std::vector<Member> members = makeAllMembers();
            if (!out.empty())
                writePak(out, members);
            if (!sheet.empty())
                writeContactSheet(sheet, members);
        }
        if (!icon.empty())
            writeDesktopIcons(icon);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
