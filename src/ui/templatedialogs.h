#pragma once
// The dialogs of templates of conditions: keeping the shown mission's
// conditions under a name, each fixed or left to chance, and picking a
// template to make a new mission from.
#include <QDialog>
#include <vector>

#include "data/refdata.h"
#include "library/conditions.h"
#include "templates.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace zelk {

class TTemplateSaveDialog : public QDialog {
    Q_OBJECT
public:
    TTemplateSaveDialog(const TMissionData& data, const TRefData& ref, QWidget* parent = nullptr);

    QString Name() const;
    // The mission's conditions, those unticked open.
    TConditions Conditions() const;

private:
    QLineEdit* nameEdit_ = nullptr;
    // One per condition, ticked: kept as it is; in ConditionKeys' order
    // without target_kind.
    std::vector<QCheckBox*> kept_;
    TConditions all_;
};

class TTemplatePickDialog : public QDialog {
    Q_OBJECT
public:
    TTemplatePickDialog(const std::vector<TTemplate>& templates, QWidget* parent = nullptr);
    // The chosen template's index, or -1.
    int Chosen() const;

private:
    QListWidget* list_ = nullptr;
    const std::vector<TTemplate>& templates_;
    QPlainTextEdit* text_ = nullptr;
};

}  // namespace zelk
