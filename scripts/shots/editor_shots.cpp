// The README's pictures of the plug-in, docs/screenshots/editor.png and
// made-filter.png, as scripts/editor_screenshots.sh takes them: the test
// host of the dialog tests opens each dialog on the sample photograph, this
// walk plays the user and asks for a picture: it writes <name>.req into the
// work folder, holding the window's place on the screen, and waits for
// <name>.done. Run it in the build folder (the host loads plugins\*.lmf).
//
//   editor_shots <photo.ppm> <work folder>
#include <cstdio>
#include <string>

#include "plugin_ui/resource.h"
#include "scripts/shots/picture_request.h"
#include "tests/plugin_ui/dialog_host.h"

namespace {

[[noreturn]] void Stop(const std::string& what) { StopWalk("editor_shots", what); }

// A binary PPM (P6, 8-bit) file.
TestImage LoadPpm(const char* path) {
    TestImage image;
    FILE* f = std::fopen(path, "rb");
    if (!f) Stop(std::string("cannot read ") + path);
    int maxval = 0;
    if (std::fscanf(f, "P6 %d %d %d", &image.width, &image.height, &maxval) == 3 && maxval == 255 &&
        image.width > 0 && image.height > 0) {
        std::fgetc(f);
        image.pixels.resize(size_t(image.width) * image.height * 3);
        if (std::fread(image.pixels.data(), 1, image.pixels.size(), f) != image.pixels.size())
            image.width = 0;
    }
    std::fclose(f);
    if (image.pixels.empty() || !image.width) Stop(std::string("no 8-bit PPM: ") + path);
    return image;
}

// The dialog of `file` open on `image`; `act` plays the user, then the
// picture `name` is taken and `button` closes the dialog.
template <class Act>
void Walk(const char* file, const TestImage& image, const std::string& work, const char* name,
          Act act, int button) {
    DialogHost host(file);
    host.Run(image);
    HWND dialog = host.WaitForDialog();
    if (!dialog) Stop(std::string("no dialog from ") + file);
    act(dialog);
    Sleep(500);  // paints settle
    RECT r;
    GetWindowRect(dialog, &r);
    const std::string place = std::to_string(r.right - r.left) + "x" +
                              std::to_string(r.bottom - r.top) + "+" + std::to_string(r.left) +
                              "+" + std::to_string(r.top);
    if (!RequestPicture(work + "\\" + name, place)) Stop(std::string("no picture ") + name);
    ClickItem(dialog, button);
    host.Wait();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: editor_shots <photo.ppm> <work folder>\n");
        return 2;
    }
    const TestImage photo = LoadPpm(argv[1]);
    // A formula typed over the red one: the next recompilation marks its error.
    Walk(
        "TinctorEditor.lmf", photo, argv[2], "editor",
        [](HWND) {
            TypeText("r+foo(1)");
            Sleep(700);
        },
        IDCANCEL);
    Walk(
        "Tinctor.lmf", photo, argv[2], "made-filter", [](HWND) {}, IDOK);
    return 0;
}
