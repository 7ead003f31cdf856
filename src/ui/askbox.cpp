#include "ui/askbox.h"

#include <QAbstractButton>
#include <QCoreApplication>

#include "data/catalogues.h"
#include "data/codepage.h"

namespace zelk {

QString JoinedLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines) out << FromCp1251(line);
    return out.join(QLatin1Char('\n'));
}

QString Shown(const std::string& name) { return QString::fromStdString(ShownName(name)); }

QString FromCp1251(const std::string& text) {
    QString s = QString::fromStdString(Cp1251ToUtf8(text));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string ToCp1251(const QString& text) {
    std::string all;
    if (Utf8ToCp1251(text.toStdString(), all)) return all;
    std::string out;
    std::string one;
    for (char32_t c : text.toUcs4()) {
        const QString s = QString::fromUcs4(&c, 1);
        out += Utf8ToCp1251(s.toStdString(), one) ? one : std::string("?");
    }
    return out;
}

void SetRussianButtonTexts(QMessageBox& box) {
    // The box's own texts: a system translation of the toolkit may be missing.
    const struct {
        QMessageBox::StandardButton Button;
        const char* Text;
    } texts[] = {{QMessageBox::Yes, QT_TRANSLATE_NOOP("zelk::TMessageBox", "Да")},
                 {QMessageBox::No, QT_TRANSLATE_NOOP("zelk::TMessageBox", "Нет")},
                 {QMessageBox::Cancel, QT_TRANSLATE_NOOP("zelk::TMessageBox", "Отмена")},
                 {QMessageBox::Ok, QT_TRANSLATE_NOOP("zelk::TMessageBox", "ОК")}};
    for (const auto& t : texts)
        if (QAbstractButton* button = box.button(t.Button))
            button->setText(QCoreApplication::translate("zelk::TMessageBox", t.Text));
}

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, TAskKind kind, const QString& caption,
                                           const QString& text) {
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(kind == TAskKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon);
    switch (kind) {
        case TAskKind::Problem:
        case TAskKind::Error:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case TAskKind::ProblemOkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case TAskKind::Confirm:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case TAskKind::Query:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    SetRussianButtonTexts(box);
    const auto result = static_cast<QMessageBox::StandardButton>(box.exec());
    if (box.standardButtons() & result) return result;
    // Closed without a button: the answer that changes nothing.
    return kind == TAskKind::Confirm ? QMessageBox::No : QMessageBox::Cancel;
}

}  // namespace zelk
