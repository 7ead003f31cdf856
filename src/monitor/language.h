#pragma once
// The language of what the window and zelk-cli show to a person. Russian is
// the source language of every text; English comes from the translation
// compiled into the program. Files for the simulator never change with it.
#include <optional>
#include <string_view>

#include "text/tr.h"

namespace zelk {

enum class TLanguage { Russian, English };

// "ru" or "en"; anything else is not a language of ours.
std::optional<TLanguage> LanguageFromName(std::string_view name);

// English for an English system, Russian for a Russian one and any other.
TLanguage SystemLanguage();

// Switches texts to `language`: the core's through its hook, tr() through the
// application object when one exists (and for one created later, call again).
// Russian removes the translation. Returns false when the English catalogue
// cannot be loaded (then texts stay Russian).
bool UseLanguage(TLanguage language);

// UseLanguage(language) while it lives; then the language there was before.
// Never throws: when the switch fails the texts stay Russian.
class TLanguageScope {
public:
    explicit TLanguageScope(TLanguage language) noexcept;
    ~TLanguageScope();
    TLanguageScope(const TLanguageScope&) = delete;
    TLanguageScope& operator=(const TLanguageScope&) = delete;

private:
    TTranslateHook saved_;
};

}  // namespace zelk
