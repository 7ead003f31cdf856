#include "ui/spinedit.h"

#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <climits>

namespace zelk {

namespace {

// Digits, a sign and a decimal separator may be typed; nothing else.
bool AllowedChar(QChar c) {
    if (c.isDigit() && c.unicode() < 128) return true;
    if (c == u'+' || c == u'-' || c == u'.' || c == u',') return true;
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && c == point.at(0);
}

bool ParseWhole(const QString& text, int& value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok) value = v;
    return ok;
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent), min_(0), max_(0) {
    // The box itself accepts any whole number while typing; our own range is
    // applied on leaving the box.
    QSpinBox::setRange(INT_MIN, INT_MAX);
    setAccelerated(false);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { OnTextChanged(); });
    SetValue(0);
}

void TSpinEdit::SetRange(int minimum, int maximum, int step) {
    min_ = minimum;
    max_ = maximum;
    setSingleStep(step);
    SetValue(minimum);
}

int TSpinEdit::Clamp(int value) const { return std::clamp(value, min_, max_); }

int TSpinEdit::Value() const {
    int v = 0;
    return ParseWhole(lineEdit()->text(), v) ? v : min_;
}

void TSpinEdit::SetValue(int value) {
    edited_ = false;
    showing_ = true;
    const int v = Clamp(value);
    setValue(v);
    lineEdit()->setText(textFromValue(v));
    showing_ = false;
}

void TSpinEdit::Commit() {
    if (!edited_) return;
    edited_ = false;
    const int v = Clamp(Value());
    if (lineEdit()->text() != textFromValue(v)) {
        showing_ = true;
        setValue(v);
        lineEdit()->setText(textFromValue(v));
        showing_ = false;
    }
    emit ValueEdited(v);
}

void TSpinEdit::OnTextChanged() {
    if (!showing_) {
        edited_ = true;
        emit ValueEdited(Value());
    }
}

QValidator::State TSpinEdit::validate(QString& input, int& /*pos*/) const {
    for (QChar c : input) {
        if (!AllowedChar(c)) return QValidator::Invalid;
    }
    int v = 0;
    return ParseWhole(input, v) ? QValidator::Acceptable : QValidator::Intermediate;
}

void TSpinEdit::fixup(QString& input) const {
    int v = 0;
    if (!ParseWhole(input, v)) input = textFromValue(min_);
}

int TSpinEdit::valueFromText(const QString& text) const {
    int v = 0;
    return ParseWhole(text, v) ? v : min_;
}

QString TSpinEdit::textFromValue(int value) const { return QString::number(value); }

void TSpinEdit::stepBy(int steps) {
    const long long next = static_cast<long long>(Value()) + static_cast<long long>(steps) * singleStep();
    const int v = static_cast<int>(std::clamp<long long>(next, min_, max_));
    showing_ = true;
    setValue(v);
    lineEdit()->setText(textFromValue(v));
    showing_ = false;
    // Stepped values are in range and announced already.
    edited_ = false;
    emit ValueEdited(v);
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    if (isReadOnly() || !isEnabled()) return StepNone;
    const int v = Value();
    StepEnabled result = StepNone;
    if (v < max_) result |= StepUpEnabled;
    if (v > min_) result |= StepDownEnabled;
    return result;
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    // Clamp before the base class interprets the text, so it never falls back
    // to an earlier value.
    Commit();
    QSpinBox::focusOutEvent(event);
}

}  // namespace zelk
