// The resources of the built plug-in files, read back from the files
// themselves with the test's own PE reader.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include "interface/definition.h"
#include "tests/plugin/pe_file.h"
#include "tests/plugin/plugin_paths.h"

namespace {

// Four-character codes are stored little-endian with the first letter most
// significant: "name" appears as the bytes e, m, a, n.
void AppendCode(std::vector<uint8_t>& out, const char* code) {
    for (int i = 3; i >= 0; --i) out.push_back(uint8_t(code[i]));
}
void Append32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void AppendProperty(std::vector<uint8_t>& out, const char* key, const std::vector<uint8_t>& data) {
    AppendCode(out, "LMHS");
    AppendCode(out, key);
    Append32(out, 0);
    Append32(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}
std::vector<uint8_t> Slot36(const std::string& text) {
    std::vector<uint8_t> slot(36, 0);
    slot[0] = uint8_t(text.size());
    std::memcpy(&slot[1], text.data(), text.size());
    return slot;
}

// The property list a plug-in with this menu name and category must carry.
std::vector<uint8_t> ExpectedPropertyList(const std::string& name, const std::string& category) {
    std::vector<uint8_t> out = {1, 0, 0, 0, 0, 0, 9, 0, 0, 0};
    std::vector<uint8_t> code;
    AppendCode(code, "LMFL");
    AppendProperty(out, "kind", code);
    AppendProperty(out, "name", Slot36(name));
    AppendProperty(out, "catg", Slot36(category));
    AppendProperty(out, "vers", {0, 0, 4, 0});
    AppendProperty(out, "prty", {0, 0, 0, 0});
    AppendProperty(out, "mode", {0x10, 0, 0, 0});
    code.clear();
    AppendCode(code, "LMHS");
    AppendProperty(out, "host", code);
    std::vector<uint8_t> entry(std::begin("ENTRYPOINT1"), std::end("ENTRYPOINT1"));
    AppendProperty(out, "wx86", entry);
    AppendProperty(out, "fici", {1, 1, 0, 0, 1, 1, 0, 0, 6, 1, 0, 0, 6, 1,
                                 0, 0, 6, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    return out;
}

struct Variant {
    const char* file;
    int32_t madeFilter;
    int32_t hasDialog;  // the editor's is 0: Build Filter keeps it when no box is checked
};

class PluginFileTest : public ::testing::TestWithParam<Variant> {
protected:
    PeFile pe{PluginPath(GetParam().file)};
    const FilterDefinition* Definition() {
        const PeFile::Resource* r = pe.Find("PARM", 16);
        return r && r->data.size() == sizeof(FilterDefinition)
                   ? reinterpret_cast<const FilterDefinition*>(r->data.data())
                   : nullptr;
    }
};

TEST_P(PluginFileTest, IsAn386LibraryImportingOnlySystemDlls) {
    ASSERT_TRUE(pe.valid());
    EXPECT_EQ(pe.machine(), 0x14C);
    const char* allowed[] = {"KERNEL32.DLL", "USER32.DLL",   "GDI32.DLL",  "COMDLG32.DLL",
                             "MSVCRT.DLL",   "ADVAPI32.DLL", "SHELL32.DLL"};
    auto dlls = pe.ImportedDlls();
    EXPECT_FALSE(dlls.empty());
    for (std::string dll : dlls) {
        for (char& c : dll) c = char(toupper(uint8_t(c)));
        EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), dll), std::end(allowed))
            << dll << " would have to be shipped with the plug-in";
    }
}

TEST_P(PluginFileTest, DefinitionBlockIsTheShippedNoiseFilter) {
    const FilterDefinition* d = Definition();
    ASSERT_NE(d, nullptr) << "PARM 16 missing or not 8296 bytes";
    EXPECT_EQ(d->size, 8296);
    EXPECT_EQ(d->madeFilter, GetParam().madeFilter);
    const int32_t sliders[8] = {101, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(d->sliderValue, sliders, sizeof sliders));
    EXPECT_EQ(d->hasDialog, GetParam().hasDialog);
    EXPECT_EQ(d->reserved[0], 1);
    EXPECT_EQ(d->reserved[1], 1);
    EXPECT_EQ(d->reserved[2], 1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(d->mapShown[i], 0);
    for (int j = 0; j < 8; ++j) EXPECT_EQ(d->sliderShown[j], j == 0 ? 1 : 0);
    EXPECT_STREQ(d->sliderLabel[0], "Noise Intensity");
    for (int j = 1; j < 8; ++j)
        EXPECT_EQ(std::string(d->sliderLabel[j]), "Control " + std::to_string(j) + ":");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::string(d->mapLabel[i]), "Map " + std::to_string(i) + ":");
    for (int k = 0; k < 3; ++k) EXPECT_STREQ(d->formula[k], "sub(c,rnd(0,ctl(0)),z)");
    EXPECT_STREQ(d->formula[3], "a");
    EXPECT_GT(std::strlen(d->title), 0u);
    EXPECT_LE(std::strlen(d->title), 31u);
    EXPECT_LE(std::strlen(d->category), 31u);
}

TEST_P(PluginFileTest, PropertyListNamesTheDefinitionsTitleAndCategory) {
    const FilterDefinition* d = Definition();
    ASSERT_NE(d, nullptr);
    const PeFile::Resource* pipl = pe.Find("PIPL", 16);
    ASSERT_NE(pipl, nullptr);
    // The menu name is the title, and "..." because a dialog opens: the
    // made filter's own, or the editor.
    std::string name = std::string(d->title) + (d->hasDialog || !d->madeFilter ? "..." : "");
    EXPECT_EQ(pipl->data, ExpectedPropertyList(name, d->category));
}

TEST_P(PluginFileTest, PropertyListDataLiesBeforeTheDefinitionBlock) {
    const PeFile::Resource* pipl = pe.Find("PIPL", 16);
    const PeFile::Resource* parm = pe.Find("PARM", 16);
    ASSERT_TRUE(pipl && parm);
    EXPECT_LT(pipl->fileOffset + pipl->data.size(), parm->fileOffset);
}

TEST_P(PluginFileTest, EveryResourceIsUsEnglish) {
    ASSERT_FALSE(pe.resources().empty());
    for (const PeFile::Resource& r : pe.resources())
        EXPECT_EQ(r.lang, 1033u) << r.type << " " << r.id;
}

TEST_P(PluginFileTest, FormulaTablesArePresent) {
    const PeFile::Resource* func = pe.Find("FUNC", 16000);
    const PeFile::Resource* oper = pe.Find("OPER", 16000);
    ASSERT_TRUE(func && oper);
    EXPECT_EQ(func->data.size(), 520u);
}

TEST_P(PluginFileTest, StringsVersionAndIcon) {
    HMODULE m =
        LoadLibraryExA(PluginPath(GetParam().file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m, nullptr);
    struct {
        int id;
        const char* text;
    } strings[] = {
        {2000, "Settings (*.tfs)!*.tfs!All Files (*.*)!*.*!"},
        {2001, "An error occured while attempting to open the settings file."},
        {2002, "An error occured while attempting to write to the settings file."},
        {2003,
         "An error occured while attempting to read from the settings file. This file may not "
         "have the correct format."},
        {2004,
         "An error occured while attempting to create a sample for this image. This operation "
         "cannot be completed."},
        {2005, "Unable to allocate local memory. This operation cannot be completed."},
        {2006, "The file '%s' already exists. Do you want to overwrite it?"},
        {2007,
         "An error occured while attempting to create the file '%s' in the plug-in directory."},
        {2008,
         "An error occured while attempting to write to the file '%s' in the plug-in directory."},
        {2009, "The new filter '%s' was successfully created."},
    };
    for (auto& s : strings) {
        char text[256] = {};
        LoadStringA(m, s.id, text, sizeof text);
        EXPECT_STREQ(text, s.text) << "string " << s.id;
    }
    HICON icon = static_cast<HICON>(LoadImageA(m, MAKEINTRESOURCEA(201), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
    FreeLibrary(m);

    // The icon group's only image is 32 x 32 with 16 colours.
    PeFile::Resource const* group = pe.Find("#14", 201);
    ASSERT_NE(group, nullptr);
    ASSERT_GE(group->data.size(), 20u);
    EXPECT_EQ(group->data[4], 1);   // one image
    EXPECT_EQ(group->data[6], 32);  // width
    EXPECT_EQ(group->data[7], 32);  // height
    EXPECT_EQ(group->data[8], 16);  // colours

    std::string path = PluginPath(GetParam().file);
    DWORD ignored, size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    char* value = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\FileVersion",
                               reinterpret_cast<void**>(&value), &len));
    EXPECT_STREQ(value, "3.00");
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\ProductVersion",
                               reinterpret_cast<void**>(&value), &len));
    EXPECT_STREQ(value, "3.00");
}

TEST_P(PluginFileTest, ExportsTheEntryPointByName) {
    HMODULE m = LoadLibraryA(PluginPath(GetParam().file).c_str());
    ASSERT_NE(m, nullptr);
    EXPECT_NE(GetProcAddress(m, "ENTRYPOINT1"), nullptr);
    FreeLibrary(m);
}

INSTANTIATE_TEST_SUITE_P(Builds, PluginFileTest,
                         ::testing::Values(Variant{"Tinctor.lmf", 1, 1},
                                           Variant{"TinctorEditor.lmf", 0, 0}),
                         [](const auto& info) {
                             return std::string(info.param.madeFilter ? "Shipped" : "Editor");
                         });

}  // namespace
