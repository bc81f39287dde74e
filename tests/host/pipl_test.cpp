#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/pipl.h"

namespace {

// Builds property lists byte by byte, the way a plug-in's resource holds them.
class ListBuilder {
public:
    ListBuilder& add(const char* key, std::vector<uint8_t> data, const char* vendor = "LMHS") {
        code(vendor);
        code(key);
        u32(0);
        u32(uint32_t(data.size()));
        body_.insert(body_.end(), data.begin(), data.end());
        ++count_;
        return *this;
    }
    static std::vector<uint8_t> Code(const char* c) {
        return {uint8_t(c[3]), uint8_t(c[2]), uint8_t(c[1]), uint8_t(c[0])};
    }
    static std::vector<uint8_t> Pascal(const std::string& s, size_t slot = 36) {
        std::vector<uint8_t> v(slot, 0);
        v[0] = uint8_t(s.size());
        std::memcpy(&v[1], s.data(), s.size());
        return v;
    }
    static std::vector<uint8_t> CString(const std::string& s) {
        std::vector<uint8_t> v(s.begin(), s.end());
        v.resize((s.size() + 4) & ~size_t(3), 0);
        return v;
    }
    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> v = {1, 0, 0, 0, 0, 0};
        for (int i = 0; i < 4; ++i) v.push_back(uint8_t(count_ >> (8 * i)));
        v.insert(v.end(), body_.begin(), body_.end());
        return v;
    }

private:
    void code(const char* c) {
        for (uint8_t b : Code(c)) body_.push_back(b);
    }
    void u32(uint32_t x) {
        for (int i = 0; i < 4; ++i) body_.push_back(uint8_t(x >> (8 * i)));
    }
    std::vector<uint8_t> body_;
    uint32_t count_ = 0;
};

ListBuilder Filter(const char* kind = "LMFL", const char* host = "LMHS", bool entry = true) {
    ListBuilder b;
    b.add("kind", ListBuilder::Code(kind))
        .add("name", ListBuilder::Pascal("Tinctor Grain..."))
        .add("catg", ListBuilder::Pascal("Tinctor"))
        .add("vers", {0, 0, 4, 0})
        .add("mode", {0x10, 0, 0, 0})
        .add("host", ListBuilder::Code(host));
    if (entry) b.add("wx86", ListBuilder::CString("ENTRYPOINT1"));
    return b;
}

PropertyListResult Parse(const std::vector<uint8_t>& v) {
    return ParsePropertyList(v.data(), v.size());
}

TEST(PropertyList, ReadsAFilterForThisHost) {
    PropertyListResult r = Parse(Filter().bytes());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.properties.name, "Tinctor Grain...");
    EXPECT_EQ(r.properties.category, "Tinctor");
    EXPECT_EQ(r.properties.entry, "ENTRYPOINT1");
    EXPECT_TRUE(r.properties.hasMode);
    EXPECT_EQ(r.properties.modeFlags, 0x1000);
}

TEST(PropertyList, SaysWhyAFileIsNoFilterForThisHost) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char* reasonPart;
    } cases[] = {
        {Filter("LMXT").bytes(), "kind 'LMXT' is not a filter"},
        {Filter("LMFL", "OTHR").bytes(), "made for host 'OTHR'"},
        {Filter("LMFL", "LMHS", false).bytes(), "no i386 entry point (wx86)"},
        {ListBuilder().add("name", ListBuilder::Pascal("X")).bytes(), "no kind"},
        {{1, 0, 0, 0}, "too short"},
        {{2, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "unknown marker"},
    };
    for (const Case& c : cases) {
        PropertyListResult r = Parse(c.bytes);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.reasonPart), std::string::npos) << r.error;
    }
}

TEST(PropertyList, CutShortListsAreRejectedWithoutReadingPastTheEnd) {
    std::vector<uint8_t> full = Filter().bytes();
    // Every truncation must fail cleanly (no property may run past the end).
    for (size_t n = 10; n < full.size(); ++n) {
        std::vector<uint8_t> cut(full.begin(), full.begin() + n);
        EXPECT_FALSE(Parse(cut).ok) << n;
    }
}

TEST(PropertyList, IgnoresOtherVendorsProperties) {
    ListBuilder b = Filter();
    b.add("kind", ListBuilder::Code("XXXX"), "ACME");
    PropertyListResult r = Parse(b.bytes());
    EXPECT_TRUE(r.ok) << r.error;
}

TEST(PropertyList, NamesStopAtTheFirstNulWhateverTheLengthByteSays) {
    // A maker rewrote a longer name with a shorter one: remains follow the NUL.
    std::vector<uint8_t> slot = ListBuilder::Pascal("Old Long Name...");
    slot[0] = 9;
    std::memcpy(&slot[1], "New Name\0", 9);
    ListBuilder b;
    b.add("kind", ListBuilder::Code("LMFL"))
        .add("name", slot)
        .add("host", ListBuilder::Code("LMHS"))
        .add("wx86", ListBuilder::CString("E"));
    PropertyListResult r = Parse(b.bytes());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.properties.name, "New Name");
    EXPECT_EQ(r.properties.category, "");
}

TEST(FilterName, MatchesMenuNameOrFileName) {
    struct Case {
        const char* query;
        bool match;
    } cases[] = {
        {"Tinctor Grain...", true}, {"Tinctor Grain", true}, {"tinctor grain", true},
        {"TINCTOR GRAIN...", true}, {"Tinctor.lmf", true},   {"tinctor", true},
        {"Tinctor Grain..", false}, {"Grain", false},        {"", false},
        {"Tinctor Editor", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilterNameMatches(c.query, "Tinctor Grain...", "Tinctor.lmf"), c.match)
            << c.query;
}

}  // namespace
