#include "monitor/language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include "text/tr.h"

namespace zelk {

namespace {

// Lives as long as the program: the core may ask for a text at any time.
QTranslator* English() {
    static QTranslator* translator = [] {
        auto* t = new QTranslator;
        if (!t->load(QStringLiteral(":/i18n/zelk_en.qm"))) {
            delete t;
            return static_cast<QTranslator*>(nullptr);
        }
        return t;
    }();
    return translator;
}

std::string TranslateToEnglish(const char* context, const char* text) {
    QTranslator* t = English();
    if (t == nullptr) return {};
    return t->translate(context, text).toStdString();
}

}  // namespace

std::optional<TLanguage> LanguageFromName(std::string_view name) {
    if (name == "ru") return TLanguage::Russian;
    if (name == "en") return TLanguage::English;
    return std::nullopt;
}

TLanguage SystemLanguage() {
    return QLocale::system().language() == QLocale::English ? TLanguage::English : TLanguage::Russian;
}

bool UseLanguage(TLanguage language) {
    QTranslator* english = English();
    if (language == TLanguage::Russian) {
        SetTranslateHook(nullptr);
        if (english != nullptr && QCoreApplication::instance() != nullptr) QCoreApplication::removeTranslator(english);
        return true;
    }
    if (english == nullptr) return false;
    SetTranslateHook(&TranslateToEnglish);
    if (QCoreApplication::instance() != nullptr) QCoreApplication::installTranslator(english);
    return true;
}

TLanguageScope::TLanguageScope(TLanguage language) noexcept : saved_(CurrentTranslateHook()) {
    try {
        UseLanguage(language);
    } catch (...) {
        SetTranslateHook(nullptr);
    }
}

TLanguageScope::~TLanguageScope() {
    try {
        if (saved_ == &TranslateToEnglish) {
            UseLanguage(TLanguage::English);
            return;
        }
        UseLanguage(TLanguage::Russian);
    } catch (...) {
    }
    // Another hook than ours (or none) goes back as it was.
    SetTranslateHook(saved_);
}

}  // namespace zelk
