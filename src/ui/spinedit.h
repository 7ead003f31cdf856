#pragma once
// A spin box that lets the pilot type freely: the mission follows the typed
// number at once, and the value is brought into range only when the box loses
// the keyboard focus (or Commit is called before a save).
#include <QSpinBox>

namespace zelk {

class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    // The range is 0..0 until SetRange gives the real one.
    explicit TSpinEdit(QWidget* parent = nullptr);

    // The range the value is brought into and the arrows' step; shows the minimum.
    void SetRange(int minimum, int maximum, int step);

    int Minimum() const { return min_; }
    int Maximum() const { return max_; }
    // The number the box holds now, unclamped; text that is not a whole
    // number counts as the minimum.
    int Value() const;
    // Shows `value` brought into range, without announcing it as an edit.
    void SetValue(int value);
    // After typing: brings the typed value into range, shows it and
    // announces it. Does nothing when nothing was typed.
    void Commit();
    // Forgets that the pilot typed: the next focus loss announces nothing.
    void DiscardEdit() { edited_ = false; }
    int Clamp(int value) const;

signals:
    // The pilot changed the value: typing, arrows, keys, wheel, or Commit.
    void ValueEdited(int value);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;
    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void OnTextChanged();

    int min_;
    int max_;
    bool showing_ = false;
    bool edited_ = false;  // typed since last shown or committed
};

}  // namespace zelk
