#pragma once
// Texts for a person (errors, reports, warnings) in the pilot's language.
// The core has no translations of its own: the source texts are Russian
// (UTF-8), and a program that offers another language installs a hook that
// looks them up. Texts that go into files never pass through here.
#include <initializer_list>
#include <string>
#include <string_view>

namespace zelk {

// Returns the translation of `text` (UTF-8) in `context`, or an empty string to
// keep the source text.
using TTranslateHook = std::string (*)(const char* context, const char* text);

// Installed at start-up, before any text is asked for; nullptr keeps the
// source texts.
void SetTranslateHook(TTranslateHook hook);

// The hook installed now, to put back later.
TTranslateHook CurrentTranslateHook();

// `text` translated by the installed hook, else unchanged. UTF-8.
std::string Tr(const char* context, const char* text);

// While it lives, Tr() gives the source texts: for output read by programs
// (JSON), which must not change with the language.
class TSourceTexts {
public:
    TSourceTexts();
    ~TSourceTexts();
    TSourceTexts(const TSourceTexts&) = delete;
    TSourceTexts& operator=(const TSourceTexts&) = delete;

private:
    TTranslateHook saved_;
};

// Puts the values into %1..%9 of `pattern` in one pass, so that a value
// holding "%2" stays as it is, and a translation may order the parts its own way.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace zelk

// Marks a text for the translation tools where it is only stored (tables);
// it is translated later with Tr(context, text).
#define ZELK_TR_NOOP(context, text) text
