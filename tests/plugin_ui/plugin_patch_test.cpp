// The maker's file patching on its own, on plug-in file images built here:
// the search order of FindCode, the name and category slots, the definition.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "interface/property_list.h"
#include "plugin_ui/plugin_patch.h"

namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

void PutSlot(std::vector<uint8_t>& v, const std::string& text) {
    std::vector<uint8_t> slot(36, 0xCC);  // leftovers after the terminator
    slot[0] = uint8_t(text.size());
    std::memcpy(slot.data() + 1, text.data(), text.size());
    slot[1 + text.size()] = 0;
    v.insert(v.end(), slot.begin(), slot.end());
}

void PutProperty(std::vector<uint8_t>& v, uint32_t key, const std::vector<uint8_t>& data) {
    Put32(v, kVendorCode);
    Put32(v, key);
    Put32(v, 0);
    Put32(v, uint32_t(data.size()));
    v.insert(v.end(), data.begin(), data.end());
}

FilterDefinition Definition(const char* title, const char* category, int hasDialog) {
    FilterDefinition d;
    std::memset(&d, 0, sizeof d);
    d.size = kDefinitionSize;
    d.madeFilter = 1;
    d.hasDialog = hasDialog;
    std::strcpy(d.title, title);
    std::strcpy(d.category, category);
    std::strcpy(d.formula[0], "255-r");
    return d;
}

struct FileImage {
    std::vector<uint8_t> bytes;
    size_t name = 0, category = 0, kindAfter = 0, definition = 0;
};

// A file as the build lays it out: code, the property list, more data, the
// definition block, the rest. `decoys` puts codes where a careless search
// would take them.
FileImage MakeImage(bool decoys, bool withName = true) {
    FileImage f;
    std::vector<uint8_t>& v = f.bytes;
    v.assign(64, 0x90);
    if (decoys) {
        Put32(v, kKeyName);         // "name" without the vendor before it
        Put32(v, kKeyCategory);     // a "catg" before the name property
        Put32(v, kDefinitionSize);  // a size value before the property list
    }
    v.push_back(1), v.push_back(0);  // list header: marker, version, count
    Put32(v, 0);
    Put32(v, 9);
    PutProperty(v, kKeyKind, {'L', 'F', 'M', 'L'});
    if (withName) {
        f.name = v.size() + 4;
        std::vector<uint8_t> slot;
        PutSlot(slot, "Tinctor Editor...");
        if (decoys) {  // a size value inside the name slot, before catg + 45
            slot[30] = 0x68, slot[31] = 0x20, slot[32] = 0, slot[33] = 0;
        }
        PutProperty(v, kKeyName, slot);
    }
    f.category = v.size() + 4;
    std::vector<uint8_t> cat;
    PutSlot(cat, "Tinctor Tools");
    if (decoys) {  // a size value after name + 45, before catg + 45
        cat[20] = 0x68, cat[21] = 0x20, cat[22] = 0, cat[23] = 0;
    }
    PutProperty(v, kKeyCategory, cat);
    f.kindAfter = v.size();
    PutProperty(v, kKeyVersion, {0, 0, 4, 0});
    v.insert(v.end(), 100, 0x33);
    f.definition = v.size();
    FilterDefinition old = Definition("Old", "Old", 1);
    std::strcpy(old.formula[0], "r");
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&old);
    v.insert(v.end(), p, p + sizeof old);
    v.insert(v.end(), 40, 0x44);
    return f;
}

std::string SlotText(const std::vector<uint8_t>& v, size_t key) {
    const uint8_t* data = v.data() + key + kPropertyDataOffset;
    EXPECT_EQ(data[1 + data[0]], 0) << "no NUL after the text";
    return std::string(reinterpret_cast<const char*>(data + 1), data[0]);
}

}  // namespace

TEST(FindCode, WantsTheVendorOnlyWhenAsked) {
    std::vector<uint8_t> v;
    Put32(v, kKeyName);
    Put32(v, 0x12345678);
    Put32(v, kVendorCode);
    Put32(v, kKeyName);
    uint8_t* b = v.data();
    EXPECT_EQ(FindCode(b, b + v.size(), kKeyName, false), b);
    EXPECT_EQ(FindCode(b, b + v.size(), kKeyName, true), b + 12);
    EXPECT_EQ(FindCode(b + 1, b + v.size(), kKeyName, false), b + 12);
    // The end is exclusive: a code must lie wholly before it.
    EXPECT_EQ(FindCode(b + 1, b + 15, kKeyName, false), nullptr);
    EXPECT_EQ(FindCode(b, b + 3, kKeyName, false), nullptr);
}

TEST(FindCode, ScansByteByByteAndSeesCodesInReverseOrder) {
    std::vector<uint8_t> v = {0, 'e', 'm', 'a', 'n', 0};  // "name" as it appears in a file
    EXPECT_EQ(FindCode(v.data(), v.data() + v.size(), FourCC("name"), false), v.data() + 1);
}

TEST(PluginPatch, FollowsTheSearchOrderPastEveryDecoy) {
    FileImage f = MakeImage(true);
    FilterDefinition d = Definition("Waves", "Obsidia", 0);
    ASSERT_EQ(PatchPluginImage(f.bytes.data(), f.bytes.data() + f.bytes.size(), d),
              PatchResult::Ok);
    EXPECT_EQ(SlotText(f.bytes, f.name), "Waves");
    EXPECT_EQ(SlotText(f.bytes, f.category), "Obsidia");
    EXPECT_EQ(std::memcmp(f.bytes.data() + f.definition, &d, sizeof d), 0);
    // The decoys before the property list are untouched.
    FileImage clean = MakeImage(true);
    EXPECT_EQ(std::memcmp(f.bytes.data(), clean.bytes.data(), f.name - 4), 0);
}

TEST(PluginPatch, ThirtyOneCharacterTitleWithDialogFillsTheNameSlotExactly) {
    FileImage f = MakeImage(false);
    std::string title(31, 'T');
    FilterDefinition d = Definition(title.c_str(), "C", 1);
    std::vector<uint8_t> before = f.bytes;
    ASSERT_EQ(PatchPluginImage(f.bytes.data(), f.bytes.data() + f.bytes.size(), d),
              PatchResult::Ok);
    const uint8_t* slot = f.bytes.data() + f.name + kPropertyDataOffset;
    EXPECT_EQ(slot[0], 34);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(slot + 1), 34), title + "...");
    EXPECT_EQ(slot[35], 0);
    // The next property's header starts right after the 36 bytes, unchanged.
    EXPECT_EQ(std::memcmp(slot + 36, before.data() + (slot + 36 - f.bytes.data()), 16), 0);
}

TEST(PluginPatch, LeavesSlotBytesAfterTheTerminatorAsTheyWere) {
    FileImage f = MakeImage(false);
    FilterDefinition d = Definition("Ab", "Cd", 0);
    ASSERT_EQ(PatchPluginImage(f.bytes.data(), f.bytes.data() + f.bytes.size(), d),
              PatchResult::Ok);
    const uint8_t* cat = f.bytes.data() + f.category + kPropertyDataOffset;
    EXPECT_EQ(cat[0], 2);
    EXPECT_EQ(cat[3], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cat + 4), 10),
              "ctor Tools");  // the old text's rest
    EXPECT_EQ(cat[35], 0xCC);
}

TEST(PluginPatch, MenuNameGetsDotsOnlyWithADialog) {
    EXPECT_EQ(MenuNameFor(Definition("Plain", "C", 0)), "Plain");
    EXPECT_EQ(MenuNameFor(Definition("Shown", "C", 1)), "Shown...");
}

TEST(PluginPatch, WritesNothingWhenAPlaceIsMissing) {
    struct Case {
        FileImage image;
        size_t cut;  // bytes kept; 0 = all
        PatchResult expected;
    } cases[] = {
        {MakeImage(false, false), 0, PatchResult::NoName},
        {MakeImage(false), 0, PatchResult::NoDefinition},  // cut inside the block below
        {MakeImage(false), 0, PatchResult::NoDefinition},
    };
    cases[1].cut = cases[1].image.definition + kDefinitionSize - 1;
    cases[2].cut = cases[2].image.definition;  // no block at all
    for (Case& c : cases) {
        std::vector<uint8_t>& v = c.image.bytes;
        if (c.cut) v.resize(c.cut);
        std::vector<uint8_t> before = v;
        FilterDefinition d = Definition("New", "New", 1);
        EXPECT_EQ(PatchPluginImage(v.data(), v.data() + v.size(), d), c.expected);
        EXPECT_EQ(v, before);
    }
}

TEST(PluginPatch, RefusesTextsThatDoNotFitTheirSlots) {
    FileImage f = MakeImage(false);
    std::vector<uint8_t> before = f.bytes;
    FilterDefinition longTitle = Definition(std::string(32, 'x').c_str(), "C", 1);
    FilterDefinition longCategory = Definition("T", std::string(32, 'y').c_str(), 0);
    EXPECT_EQ(PatchPluginImage(f.bytes.data(), f.bytes.data() + f.bytes.size(), longTitle),
              PatchResult::TooLong);
    EXPECT_EQ(PatchPluginImage(f.bytes.data(), f.bytes.data() + f.bytes.size(), longCategory),
              PatchResult::TooLong);
    EXPECT_EQ(f.bytes, before);
    // 32 characters without a dialog still fit the name slot.
    FilterDefinition plain = Definition(std::string(32, 'z').c_str(), "C", 0);
    EXPECT_EQ(PatchPluginImage(f.bytes.data(), f.bytes.data() + f.bytes.size(), plain),
              PatchResult::Ok);
}
