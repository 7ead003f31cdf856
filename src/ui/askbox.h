#pragma once
// The window's message boxes and the conversion of the core's Windows-1251
// texts, shared by the window and its dialogs.
#include <QMessageBox>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace zelk {

// The window's questions and reports. Problem: OK; ProblemOkCancel: OK and
// Cancel; Confirm: Yes and No; Query: Yes, No and Cancel; Error: the general
// error report (OK).
enum class TAskKind { Problem, ProblemOkCancel, Confirm, Query, Error };
using TAskFunc = std::function<QMessageBox::StandardButton(QWidget* parent, TAskKind kind, const QString& caption,
                                                           const QString& text)>;

// Да, Нет, Отмена and ОК (Yes, No, Cancel and OK in English) on the box's
// standard buttons.
void SetRussianButtonTexts(QMessageBox& box);

// The real message box: no icon for the window's questions, the error icon
// for the error report.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, TAskKind kind, const QString& caption, const QString& text);

// Windows-1251 text of the core as the window shows it: CR LF and lone CR
// become line breaks.
QString FromCp1251(const std::string& text);
// The window's text for the core: characters Windows-1251 lacks become "?".
std::string ToCp1251(const QString& text);
// Lines of the core's text as one text of the window.
QString JoinedLines(const std::vector<std::string>& lines);
// A name of the catalogues as the window shows it, in the pilot's language.
QString Shown(const std::string& name);

}  // namespace zelk
