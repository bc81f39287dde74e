#include "host/cli.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr CommandSet kApply = CommandBit(Command::Apply);
constexpr CommandSet kFx = CommandBit(Command::Fx);
constexpr CommandSet kImages = kApply | kFx;  // commands that filter image files
constexpr CommandSet kMake = CommandBit(Command::Make);
constexpr CommandSet kCheck = CommandBit(Command::Check);
constexpr CommandSet kEveryCommand = ~CommandBit(Command::Help);

struct CommandWord {
    const char* word;
    Command command;
};
constexpr CommandWord kCommandWords[] = {
    {"list", Command::List}, {"apply", Command::Apply},   {"about", Command::About},
    {"make", Command::Make}, {"export", Command::Export}, {"check", Command::Check},
    {"fx", Command::Fx},
};

constexpr const char* kFormats[] = {"png", "jpg", "tif", "bmp"};

bool ParseInt(const std::string& text, long lo, long hi, int32_t& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno || *end != '\0' || v < lo || v > hi) return false;
    out = int32_t(v);
    return true;
}

// "I=REST" with I a single digit below `count`.
bool ParseIndexed(const std::string& text, int count, int& index, std::string& rest) {
    size_t eq = text.find('=');
    if (eq != 1 || text[0] < '0' || text[0] >= char('0' + count)) return false;
    index = text[0] - '0';
    rest = text.substr(eq + 1);
    return true;
}

// ---- where the options go ----

template <std::string Options::*Field>
std::string Text(Options& o, const std::string& value) {
    o.*Field = value;
    return {};
}

template <std::optional<std::string> Options::*Field>
std::string OptionalText(Options& o, const std::string& value) {
    o.*Field = value;
    return {};
}

template <bool Options::*Field>
std::string Flag(Options& o, const std::string&) {
    o.*Field = true;
    return {};
}

template <int Channel>
std::string ChannelFormula(Options& o, const std::string& value) {
    o.channel[Channel] = value;
    return {};
}

std::string Area(Options& o, const std::string& value) {
    o.area = ParseArea(value);
    if (o.area) return {};
    return "bad --area '" + value + "' (expected L,T,R,B with L <= R, T <= B, 0..32767)";
}

std::string AbortRow(Options& o, const std::string& value) {
    if (ParseInt(value, 0, 0x7FFFFFFF, o.abortAtRow)) return {};
    return "bad --abort-at-row '" + value + "' (expected a row number)";
}

std::string Format(Options& o, const std::string& value) {
    for (const char* f : kFormats)
        if (value == f) {
            o.format = value;
            return {};
        }
    return "bad --format '" + value + "' (expected png, jpg, tif or bmp)";
}

// fx: --slider I=V, the value of slider I.
std::string SliderValue(Options& o, const std::string& value) {
    int index = 0;
    std::string number;
    int32_t v = 0;
    if (!ParseIndexed(value, kSliderCount, index, number) || !ParseInt(number, 0, 255, v))
        return "bad --slider '" + value + "' (expected I=V with I in 0..7 and V in 0..255)";
    if (o.sliderSet[index]) return "--slider " + std::to_string(index) + " is given twice";
    o.sliderSet[index] = true;
    o.sliderValue[index] = v;
    return {};
}

// make: --slider J=LABEL and --map I=LABEL, shown in the made filter's dialog.
template <int Count, std::array<std::optional<std::string>, Count> Options::*Labels>
std::string Label(Options& o, const std::string& value) {
    const bool map = Count == kMapCount;
    const std::string name = map ? "--map" : "--slider";
    int index = 0;
    std::string label;
    if (!ParseIndexed(value, Count, index, label))
        return "bad " + name + " '" + value + "' (expected " +
               (map ? "I=LABEL with I in 0..3" : "J=LABEL with J in 0..7") + ")";
    auto& slot = (o.*Labels)[index];
    if (slot) return name + " " + std::to_string(index) + " is given twice";
    slot = label;
    return {};
}

constexpr OptionRow kOptions[] = {
    {"--plugins", true, kEveryCommand, Text<&Options::pluginDir>},
    {"--filter", true, kApply | CommandBit(Command::About), Text<&Options::filter>},
    {"--from", true, kMake | kCheck | kFx, Text<&Options::from>},
    {"--settings", true, kApply, Text<&Options::settings>},
    {"--file", true, kCheck, Text<&Options::settings>},
    {"--out-dir", true, kImages, Text<&Options::outDir>},
    {"--format", true, kImages, Format},
    {"--area", true, kImages, Area},
    {"--mask", true, kImages, Text<&Options::maskFile>},
    {"--transparency", false, kImages, Flag<&Options::transparency>},
    {"--repeat", false, kApply, Flag<&Options::repeat>},
    {"--quiet", false, kImages, Flag<&Options::quiet>},
    {"--time", false, kImages, Flag<&Options::time>},
    {"--abort-at-row", true, kImages, AbortRow},
    {"--red", true, kFx, ChannelFormula<0>},
    {"--green", true, kFx, ChannelFormula<1>},
    {"--blue", true, kFx, ChannelFormula<2>},
    {"--alpha", true, kFx, ChannelFormula<3>},
    {"--slider", true, kFx, SliderValue},
    {"--slider", true, kMake, Label<kSliderCount, &Options::sliderLabel>},
    {"--map", true, kMake, Label<kMapCount, &Options::mapLabel>},
    {"--title", true, kMake, Text<&Options::title>},
    {"--category", true, kMake, Text<&Options::category>},
    {"--copyright", true, kMake, OptionalText<&Options::copyright>},
    {"--author", true, kMake, OptionalText<&Options::author>},
};

// IN OUT, or with --out-dir one or more inputs.
std::string TakeImages(Options& o, const std::vector<std::string>& images) {
    const std::string command = CommandName(o.command);
    if (o.outDir.empty()) {
        if (!o.format.empty()) return "--format goes with --out-dir";
        if (images.size() != 2)
            return command + " needs an input and an output image (or --out-dir DIR and inputs)";
        o.inputs = {images[0]};
        o.output = images[1];
    } else {
        if (images.empty()) return command + " needs at least one input image";
        o.inputs = images;
    }
    return {};
}

// The arguments that are not options, by command.
std::string TakePositional(Options& o, const std::vector<std::string>& positional) {
    auto pair = [&](std::string& first, std::string& second, const char* what) {
        if (positional.size() != 2) return std::string(CommandName(o.command)) + " needs " + what;
        first = positional[0];
        second = positional[1];
        return std::string();
    };
    switch (o.command) {
    case Command::Apply: return TakeImages(o, positional);
    case Command::Fx: {
        // With red, green and blue each given, EXPR may be left out: then IN OUT
        // are two words alone, and with --out-dir every word is an input.
        bool ownColours = o.channel[0] && o.channel[1] && o.channel[2];
        if (ownColours && (!o.outDir.empty() || positional.size() == 2))
            return TakeImages(o, positional);
        if (positional.empty()) return "fx needs a formula, an input and an output image";
        o.expression = positional[0];
        return TakeImages(o, {positional.begin() + 1, positional.end()});
    }
    case Command::Check:
        if (!o.settings.empty() && !positional.empty())
            return "check takes formulas or --file, not both";
        if (o.settings.empty() && positional.empty())
            return "check needs a formula (or --file SETTINGS.tfs)";
        o.formulas = positional;
        return {};
    case Command::Make:
        return pair(o.settings, o.output, "a settings file and a plug-in file to write");
    case Command::Export:
        return pair(o.from, o.settings, "a plug-in file and a settings file to write");
    default: return positional.empty() ? "" : "unexpected argument '" + positional[0] + "'";
    }
}

std::string CheckRequired(const Options& o) {
    bool defaultFilter = o.command == Command::Apply && !o.settings.empty();
    if ((o.command == Command::Apply || o.command == Command::About) && o.filter.empty() &&
        !defaultFilter)
        return "--filter NAME is required";
    if (o.command == Command::Make && o.title.empty()) return "--title TEXT is required";
    if (o.command == Command::Make && o.category.empty()) return "--category TEXT is required";
    return {};
}

}  // namespace

std::span<const OptionRow> OptionTable() { return kOptions; }

const char* CommandName(Command c) {
    for (const CommandWord& w : kCommandWords)
        if (w.command == c) return w.word;
    return "help";
}

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

std::string OutputPathFor(const std::string& input, const std::string& outDir,
                          const std::string& format) {
    size_t slash = input.find_last_of("\\/");
    std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot == 0) dot = std::string::npos;  // ".png" is a name, not an extension
    std::string stem = name.substr(0, dot);
    std::string extension = !format.empty()            ? format
                            : dot != std::string::npos ? name.substr(dot + 1)
                                                       : "";
    std::string folder = outDir;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder + stem + (extension.empty() ? "" : "." + extension);
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult r;
    Options& o = r.options;
    if (args.empty()) {
        r.error = "no command given";
        return r;
    }
    const std::string& word = args[0];
    if (word == "--help" || word == "-h" || word == "help" || word == "/?") return r;
    bool known = false;
    for (const CommandWord& w : kCommandWords)
        if (word == w.word) o.command = w.command, known = true;
    if (!known) {
        r.error = "unknown command '" + word + "'";
        return r;
    }

    std::vector<std::string> positional;
    bool optionsEnded = false;  // after "--" everything is an argument (a formula "-r")
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool isOption = !optionsEnded && a.size() > 1 && a[0] == '-';
        if (!isOption) {
            positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            o.command = Command::Help;
            return r;
        }
        const OptionRow* row = nullptr;
        bool named = false;
        for (const OptionRow& candidate : kOptions) {
            if (a != candidate.name) continue;
            named = true;
            if (candidate.commands & CommandBit(o.command)) row = &candidate;
        }
        if (!row) {
            r.error = named ? a + " does not belong to the " + word + " command"
                            : "unknown option '" + a + "'";
            return r;
        }
        if (row->takesValue && i + 1 >= args.size()) {
            r.error = a + " needs a value";
            return r;
        }
        r.error = row->store(o, row->takesValue ? args[++i] : std::string());
        if (!r.error.empty()) return r;
    }
    r.error = TakePositional(o, positional);
    if (r.error.empty()) r.error = CheckRequired(o);
    return r;
}
