#include "host/cli.h"

#include <cerrno>
#include <cstdlib>

const char kUsageText[] =
    "Usage:\n"
    "  lumora list  [--plugins DIR]\n"
    "  lumora apply [--plugins DIR] --filter NAME IN OUT [--area L,T,R,B]\n"
    "               [--mask FILE] [--transparency] [--repeat] [--quiet] [--time]\n"
    "               [--abort-at-row N]\n"
    "  lumora about [--plugins DIR] --filter NAME\n"
    "  lumora make  SETTINGS.tfs OUT.lmf --title TEXT --category TEXT\n"
    "               [--copyright TEXT] [--author TEXT] [--slider J=LABEL]...\n"
    "               [--map I=LABEL]... [--from PLUGIN.lmf] [--plugins DIR]\n"
    "  lumora export PLUGIN.lmf OUT.tfs\n"
    "  lumora --help\n"
    "\n"
    "Commands:\n"
    "  list    Show the filter menu: category, menu name and file of every\n"
    "          plug-in (*.lmf) in the plug-in folder. Files that are not filter\n"
    "          plug-ins for this host are skipped with a warning.\n"
    "  apply   Filter image IN with the plug-in NAME and write the result to OUT.\n"
    "          Images are PNG, BMP, JPEG or TIFF; the output format follows the\n"
    "          extension of OUT, and PNG keeps the transparency plane. OUT is\n"
    "          written completely or not at all. Without --repeat the plug-in\n"
    "          shows its dialog (this needs a display): OK applies the filter,\n"
    "          Cancel leaves OUT unwritten and exits with 1.\n"
    "  about   Show the plug-in's About box.\n"
    "  make    Make a filter plug-in OUT.lmf as the editor's Make... does: start\n"
    "          from the --from plug-in (default: TinctorEditor.lmf in the plug-in\n"
    "          folder), load the settings file, name it (title and category at\n"
    "          most 31 characters) and show the sliders J (0..7) and maps I (0..3)\n"
    "          given, with their labels, in its dialog; a map and the sliders of\n"
    "          its pair (2I, 2I+1) exclude each other. With no --slider or --map\n"
    "          the filter has no dialog. OUT is written completely or not at all.\n"
    "  export  Write the sliders and formulas of PLUGIN.lmf as a settings file.\n"
    "\n"
    "Options:\n"
    "  --plugins DIR      Plug-in folder (default: the folder 'plugins' beside\n"
    "                     lumora.exe).\n"
    "  --filter NAME      The menu name (with or without its trailing '...',\n"
    "                     any case) or the file name of the plug-in.\n"
    "  --area L,T,R,B     Filter only this rectangle (left, top, right, bottom in\n"
    "                     pixels, right and bottom exclusive); default: the whole\n"
    "                     image. Pixels outside it are never changed.\n"
    "  --mask FILE        A grey image of the same size used as selection mask:\n"
    "                     black keeps the original, white takes the filtered pixel.\n"
    "  --transparency     Hand the plug-in a layer with a transparency plane (the\n"
    "                     default when IN has one).\n"
    "  --repeat           Apply the last filter again: no parameters call and so\n"
    "                     no dialog and no display needed.\n"
    "  --quiet            No progress bar (it is drawn only when standard error\n"
    "                     is a terminal) and no closing line.\n"
    "  --time             Print the time spent inside the continue calls, as\n"
    "                     'continue: 123.4 ms'.\n"
    "  --abort-at-row N   Testing aid: the abort test answers yes once the\n"
    "                     progress reported has reached row N.\n"
    "\n"
    "While a filter runs, Esc or Ctrl+C asks the plug-in to stop.\n"
    "\n"
    "Exit status: 0 success; 1 cancelled by the user or stopped by the plug-in;\n"
    "2 bad usage, unreadable input, unknown filter, a missing output folder, no\n"
    "display for a dialog, or a plug-in error.\n";

namespace {

bool ParseInt(const std::string& text, long lo, long hi, int32_t& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno || *end != '\0' || v < lo || v > hi) return false;
    out = int32_t(v);
    return true;
}

}  // namespace

std::optional<UserArea> ParseArea(const std::string& text) {
    int32_t v[4];
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        size_t comma = text.find(',', pos);
        bool last = i == 3;
        if (last != (comma == std::string::npos)) return std::nullopt;
        std::string part = text.substr(pos, last ? std::string::npos : comma - pos);
        // Host areas are 16-bit: coordinates past that cannot be handed over.
        if (!ParseInt(part, 0, 32767, v[i])) return std::nullopt;
        pos = comma + 1;
    }
    UserArea a{v[0], v[1], v[2], v[3]};
    if (a.left > a.right || a.top > a.bottom) return std::nullopt;
    return a;
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult r;
    Options& o = r.options;
    if (args.empty()) {
        r.error = "no command given";
        return r;
    }
    const std::string& cmd = args[0];
    if (cmd == "--help" || cmd == "-h" || cmd == "help" || cmd == "/?") {
        o.command = Command::Help;
        return r;
    }
    if (cmd == "list") o.command = Command::List;
    else if (cmd == "apply") o.command = Command::Apply;
    else if (cmd == "about") o.command = Command::About;
    else {
        r.error = "unknown command '" + cmd + "'";
        return r;
    }

    std::vector<std::string> positional;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                r.error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        bool applyOnly = a == "--area" || a == "--mask" || a == "--transparency" ||
                         a == "--repeat" || a == "--quiet" || a == "--time" ||
                         a == "--abort-at-row";
        if (applyOnly && o.command != Command::Apply) {
            r.error = a + " belongs to the apply command";
            return r;
        }
        if (a == "--help" || a == "-h") {
            o.command = Command::Help;
            return r;
        } else if (a == "--plugins") {
            if (!value(o.pluginDir)) return r;
        } else if (a == "--filter") {
            if (o.command == Command::List) {
                r.error = "--filter does not belong to the list command";
                return r;
            }
            if (!value(o.filter)) return r;
        } else if (a == "--area") {
            std::string text;
            if (!value(text)) return r;
            o.area = ParseArea(text);
            if (!o.area) {
                r.error =
                    "bad --area '" + text + "' (expected L,T,R,B with L <= R, T <= B, 0..32767)";
                return r;
            }
        } else if (a == "--mask") {
            if (!value(o.maskFile)) return r;
        } else if (a == "--abort-at-row") {
            std::string text;
            if (!value(text)) return r;
            if (!ParseInt(text, 0, 0x7FFFFFFF, o.abortAtRow)) {
                r.error = "bad --abort-at-row '" + text + "' (expected a row number)";
                return r;
            }
        } else if (a == "--transparency") o.transparency = true;
        else if (a == "--repeat") o.repeat = true;
        else if (a == "--quiet") o.quiet = true;
        else if (a == "--time") o.time = true;
        else if (a.size() > 1 && a[0] == '-' && a != "-") {
            r.error = "unknown option '" + a + "'";
            return r;
        } else {
            positional.push_back(a);
        }
    }

    size_t wanted = o.command == Command::Apply ? 2 : 0;
    if (positional.size() != wanted) {
        r.error = wanted ? "apply needs an input and an output image"
                         : "unexpected argument '" + positional[0] + "'";
        return r;
    }
    if (o.command != Command::List && o.filter.empty()) {
        r.error = "--filter NAME is required";
        return r;
    }
    if (o.command == Command::Apply) {
        o.input = positional[0];
        o.output = positional[1];
    }
    return r;
}
