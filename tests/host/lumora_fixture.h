// The fixture of the end-to-end tests of lumora.exe: a temporary folder with
// a plug-in folder holding the test plug-in, images that tell every pixel
// and plane apart, and the test plug-in's log.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/image_io.h"
#include "tests/host/lumora_run.h"

inline const std::string kTestPlugins = HOSTTEST_DIR;

inline ImageCodecs& Codecs() {
    static ImageCodecs codecs;
    return codecs;
}

// Samples that differ per pixel and per plane, so a wrong stride, offset or
// plane order shows in the output.
inline Image Pattern(int32_t w, int32_t h, bool alpha) {
    Image img(w, h, alpha);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = img.pixel(x, y);
            p[0] = uint8_t(x * 7 + y);
            p[1] = uint8_t(y * 11 + 3);
            p[2] = uint8_t((x * y) ^ 0x5A);
            p[3] = uint8_t(alpha ? 40 + x * 3 : 255);
        }
    return img;
}

inline bool Inverted(const Image& in, const Image& out, int32_t x, int32_t y, int planes) {
    for (int p = 0; p < planes; ++p)
        if (out.pixel(x, y)[p] != 255 - in.pixel(x, y)[p]) return false;
    return true;
}

inline bool Same(const Image& in, const Image& out, int32_t x, int32_t y, int planes) {
    return std::equal(in.pixel(x, y), in.pixel(x, y) + planes, out.pixel(x, y));
}

inline int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class Lumora : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Codecs().ok());
        plugins_ = dir_.file("plugins");
        CreateDirectoryA(plugins_.c_str(), nullptr);
        ASSERT_TRUE(CopyInto(kTestPlugins + "\\LumoraTest.lmf", plugins_));
        log_ = dir_.file("plugin.log");
    }

    std::string Save(const Image& img, const std::string& name) {
        std::string path = dir_.file(name), error;
        EXPECT_TRUE(SaveImageFile(img, path, path, error)) << error;
        return path;
    }

    Image Load(const std::string& path) {
        Image img;
        std::string error;
        EXPECT_TRUE(LoadImageFile(path, img, error)) << path << ": " << error;
        return img;
    }

    // lumora apply with the test plug-in; `extra` goes after IN OUT.
    LumoraRun Apply(const std::string& in, const std::string& out,
                    std::vector<std::string> extra = {}, const std::string& mode = "") {
        std::vector<std::string> args = {
            "apply", "--plugins", plugins_, "--filter", "host test invert", in, out};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunLumora(args, {{"LUMORA_TEST_MODE", mode}, {"LUMORA_TEST_LOG", log_}});
    }

    std::string Log() { return FileBytes(log_); }

    // Neither the output nor its temporary may be left behind.
    void ExpectNoOutput(const std::string& out) {
        EXPECT_FALSE(FileExists(out)) << out;
        EXPECT_FALSE(FileExists(out + ".lumora-partial"));
    }

    TempFolder dir_;
    std::string plugins_, log_;
};
