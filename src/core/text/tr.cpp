#include "text/tr.h"

#include <atomic>

namespace zelk {

namespace {
std::atomic<TTranslateHook> translateHook{nullptr};
}

void SetTranslateHook(TTranslateHook hook) { translateHook.store(hook); }

TTranslateHook CurrentTranslateHook() { return translateHook.load(); }

std::string Tr(const char* context, const char* text) {
    if (const TTranslateHook hook = translateHook.load()) {
        std::string translated = hook(context, text);
        if (!translated.empty()) return translated;
    }
    return text;
}

TSourceTexts::TSourceTexts() : saved_(translateHook.exchange(nullptr)) {}

TSourceTexts::~TSourceTexts() { translateHook.store(saved_); }

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto k = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (k < values.size()) {
                out += *(values.begin() + k);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace zelk
