#include "plugin_ui/maker_options.h"

#include <cstdio>
#include <cstring>

#include "plugin_ui/maker_texts.h"

namespace {

// Stores `text` into a definition slot as the dialog's field would: the
// field's typing limit is one more than what is stored.
void Store(char* slot, size_t slotSize, const std::string& text) {
    std::memset(slot, 0, slotSize);
    std::memcpy(slot, text.data(), text.size());
}

std::string CheckText(const char* what, const char* text, size_t limit, bool required) {
    if (required && (!text || !*text)) return std::string(what) + " must not be empty";
    if (text && std::strlen(text) > limit)
        return std::string(what) + " is longer than " + std::to_string(limit) + " characters";
    return "";
}

}  // namespace

std::string ApplyMakerOptions(const MakerOptions& o, FilterDefinition& copy) {
    std::string error = CheckText("--title", o.title, 31, true);
    if (error.empty()) error = CheckText("--category", o.category, 31, true);
    if (error.empty()) error = CheckText("--copyright", o.copyright, 127, false);
    if (error.empty()) error = CheckText("--author", o.author, 127, false);
    for (int i = 0; i < 4 && error.empty(); ++i)
        error = CheckText(("--map " + std::to_string(i)).c_str(), o.mapLabel[i], 63, false);
    for (int j = 0; j < 8 && error.empty(); ++j)
        error = CheckText(("--slider " + std::to_string(j)).c_str(), o.sliderLabel[j], 63, false);
    for (int j = 0; j < 8 && error.empty(); ++j)
        if (o.sliderLabel[j] && o.mapLabel[j / 2])
            error = "--map " + std::to_string(j / 2) + " and --slider " + std::to_string(j) +
                    " exclude each other: map " + std::to_string(j / 2) + " shows sliders " +
                    std::to_string(j / 2 * 2) + " and " + std::to_string(j / 2 * 2 + 1);
    if (!error.empty()) return error;

    Store(copy.category, sizeof copy.category, o.category);
    Store(copy.title, sizeof copy.title, o.title);
    Store(copy.copyright, sizeof copy.copyright,
          o.copyright ? o.copyright : MAKER_DEFAULT_COPYRIGHT);
    Store(copy.author, sizeof copy.author, o.author ? o.author : MAKER_DEFAULT_AUTHOR);
    bool any = false;
    char label[32];
    for (int i = 0; i < 4; ++i) {
        std::snprintf(label, sizeof label, MAKER_DEFAULT_MAP_LABEL_FORMAT, i);
        Store(copy.mapLabel[i], sizeof copy.mapLabel[i], o.mapLabel[i] ? o.mapLabel[i] : label);
        copy.mapShown[i] = o.mapLabel[i] != nullptr;
        any = any || o.mapLabel[i];
    }
    for (int j = 0; j < 8; ++j) {
        std::snprintf(label, sizeof label, MAKER_DEFAULT_SLIDER_LABEL_FORMAT, j);
        Store(copy.sliderLabel[j], sizeof copy.sliderLabel[j],
              o.sliderLabel[j] ? o.sliderLabel[j] : label);
        copy.sliderShown[j] = o.sliderLabel[j] != nullptr;
        any = any || o.sliderLabel[j];
    }
    copy.hasDialog = any ? 1 : 0;
    return "";
}
