// The window's kneeboard card and templates of conditions.
#include <QAction>
#include <QDate>
#include <QListWidget>
#include <QMenu>

#include <algorithm>

#include "card/card.h"
#include "files/paths.h"
#include "carddialog.h"
#include "generator/random.h"
#include "library/journal.h"
#include "mainform.h"
#include "ui_mainform.h"
#include "monitor/journalplace.h"
#include "templatedialogs.h"
#include "templates.h"
#include "zelk_version.h"

namespace zelk {

void TZELK_form::CreatePilotActions() {
    auto* card = new QAction(tr("Карточка (Ctrl+P)"), this);
    card->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    auto* save = new QAction(tr("Сохранить как шаблон..."), this);
    auto* make = new QAction(tr("Создать из шаблона..."), this);
    for (QAction* a : {card, save, make}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    connect(card, &QAction::triggered, this, &TZELK_form::ShowCard);
    connect(save, &QAction::triggered, this, &TZELK_form::SaveAsTemplate);
    connect(make, &QAction::triggered, this, &TZELK_form::NewFromTemplate);
    // The list's own menu offers them beside the mission they concern.
    ui_->lboxMissions->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_->lboxMissions, &QListWidget::customContextMenuRequested, this, [=, this](const QPoint& at) {
        QMenu menu(this);
        card->setEnabled(currentMission_ != nullptr);
        save->setEnabled(currentMission_ != nullptr && !AutoOn() && dataLoaded_);
        make->setEnabled(!AutoOn() && dataLoaded_);
        menu.addActions({card, save, make});
        menu.exec(ui_->lboxMissions->viewport()->mapToGlobal(at));
        for (QAction* a : {card, save, make}) a->setEnabled(true);
    });
}

std::filesystem::path TZELK_form::TemplatesFile() const {
    const auto journal = JournalFileFor(options_.DataDir);
    return journal.empty() ? std::filesystem::path() : TemplatesFileBeside(journal);
}

void TZELK_form::ShowCard() {
    if (currentMission_ == nullptr) return;
    CommitSpinBoxes();
    // The card describes what the simulator will fly: the files on disk.
    if (currentMission_->IsNew) {
        Ask(TAskKind::Problem, tr("Проблема"),
            tr("Задание еще не записано: сохраните его (Ctrl+S), и карточка покажет то, что полетит."));
        return;
    }
    if (currentMission_->IsUnsaved())
        Ask(TAskKind::Problem, tr("Проблема"),
            tr("Изменения задания не сохранены: карточка покажет записанный вариант."));
    TCardSource source;
    try {
        source = CardSourceOf(*currentMission_, paths_.MissionFolder, ref_,
                              QDate::currentDate().toString(Qt::ISODate).toStdString(), ZELK_VERSION);
    } catch (const std::exception& e) {
        Ask(TAskKind::Error, tr("Ошибка"), QString::fromStdString(e.what()));
        return;
    }
    const auto journal = JournalFileFor(options_.DataDir);
    TCardDialog dialog(
        std::move(source), ref_, {paths_.MissionFolder, options_.DataDir, journal.parent_path()},
        [this](QWidget*, TAskKind kind, const QString& caption, const QString& text) {
            return Ask(kind, caption, text);
        },
        this);
    dialog.exec();
}

void TZELK_form::SaveAsTemplate() {
    if (currentMission_ == nullptr || AutoOn() || !dataLoaded_) return;
    CommitSpinBoxes();
    TTemplateSaveDialog dialog(currentMission_->Data, ref_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    KeepTemplate({dialog.Name().toStdString(), dialog.Conditions()});
}

bool TZELK_form::KeepTemplate(const TTemplate& kept) {
    const auto file = TemplatesFile();
    if (file.empty()) {
        Ask(TAskKind::Problem, tr("Проблема"),
            tr("Шаблоны негде хранить: папка %1 закрыта для записи.")
                .arg(QString::fromStdString(PathToUtf8(options_.DataDir))));
        return false;
    }
    if (const std::string why = TemplateNameError(kept.Name); !why.empty()) {
        Ask(TAskKind::Problem, tr("Проблема"), QString::fromStdString(why));
        return false;
    }
    try {
        std::vector<TTemplate> templates = ReadTemplates(file);
        auto at =
            std::find_if(templates.begin(), templates.end(), [&](const TTemplate& t) { return t.Name == kept.Name; });
        if (at != templates.end()) {
            if (Ask(TAskKind::Confirm, tr("Подтверждение"),
                    tr("Шаблон «%1» уже есть. Заменить его?").arg(QString::fromStdString(kept.Name))) !=
                QMessageBox::Yes)
                return false;
            *at = kept;
        } else {
            templates.push_back(kept);
        }
        WriteTemplates(file, templates);
    } catch (const std::exception& e) {
        Ask(TAskKind::Error, tr("Ошибка"), QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

void TZELK_form::NewFromTemplate() {
    if (AutoOn() || !dataLoaded_) return;
    CommitSpinBoxes();
    std::vector<TTemplate> templates;
    try {
        if (const auto file = TemplatesFile(); !file.empty()) templates = ReadTemplates(file);
    } catch (const std::exception& e) {
        Ask(TAskKind::Error, tr("Ошибка"), QString::fromStdString(e.what()));
        return;
    }
    if (templates.empty()) {
        Ask(TAskKind::Problem, tr("Проблема"),
            tr("Шаблонов пока нет: «Сохранить как шаблон» сохраняет условия показанного задания."));
        return;
    }
    TTemplatePickDialog dialog(templates, this);
    if (dialog.exec() != QDialog::Accepted || dialog.Chosen() < 0) return;
    NewMissionFromTemplate(templates[static_cast<std::size_t>(dialog.Chosen())].Name);
}

bool TZELK_form::NewMissionFromTemplate(const std::string& name) {
    if (AutoOn() || !dataLoaded_) return false;
    std::vector<TTemplate> templates;
    try {
        if (const auto file = TemplatesFile(); !file.empty()) templates = ReadTemplates(file);
    } catch (const std::exception& e) {
        Ask(TAskKind::Error, tr("Ошибка"), QString::fromStdString(e.what()));
        return false;
    }
    const TTemplate* chosen = FindTemplate(templates, name);
    if (chosen == nullptr) {
        Ask(TAskKind::Problem, tr("Проблема"), tr("Шаблона «%1» нет.").arg(QString::fromStdString(name)));
        return false;
    }
    TRandom rnd(TimeSeed());
    const TConditionsOutcome made = MissionFromConditions(chosen->Conditions, ref_, rnd);
    if (!made.Made) {
        Ask(TAskKind::Problem, tr("Проблема"), tr("В файлах данных нет ни одной карты с целями."));
        return false;
    }
    const int before = library_.Count();
    DoNew();
    if (library_.Count() == before || currentMission_ == nullptr) return false;
    currentMission_->Data = made.Data;
    ShowMissionData();
    if (!made.Settled.empty()) {
        QString text = tr("Не всё из шаблона «%1» предлагают данные:").arg(QString::fromStdString(name));
        for (const auto& line : made.Settled) text += QStringLiteral("\n• ") + QString::fromStdString(line);
        Ask(TAskKind::Problem, tr("Проблема"), text);
    }
    return true;
}

}  // namespace zelk
