#include "templatedialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/catalogues.h"
#include "library/availability.h"
#include "ui/mainform.h"

namespace zelk {

namespace {

template <std::size_t N>
QString At(const std::array<std::string, N>& names, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < N ? Shown(names[static_cast<std::size_t>(i)]) : QString::number(i);
}

}  // namespace

TTemplateSaveDialog::TTemplateSaveDialog(const TMissionData& d, const TRefData& ref, QWidget* parent)
    : QDialog(parent), all_(ConditionsOf(d)) {
    setWindowTitle(tr("Сохранить как шаблон"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QStringLiteral("TemplateName"));
    form->addRow(tr("Имя шаблона:"), nameEdit_);
    layout->addLayout(form);
    layout->addWidget(new QLabel(
        tr("Отмеченные условия шаблон хранит как есть; неотмеченные — «любая»: в каждом задании по шаблону они "
           "выбираются случайно."),
        this));
    layout->itemAt(layout->count() - 1)->widget()->setProperty("wordWrap", true);

    QString aircraft = FromCp1251(d.Aircraft);
    if (const int i = ref.Aircrafts.IndexOfClass(d.Aircraft); i >= 0)
        aircraft = FromCp1251(ref.Aircrafts.Items[static_cast<std::size_t>(i)].Name);
    const TTankSide tankSide = OfferedTankList(d);
    const QString rows[] = {
        tr("Карта: %1").arg(FromCp1251(ref.Maps.GetName(d.Map))),
        tr("Цель: %1").arg(FromCp1251(d.Target)),
        tr("Движение: %1").arg(At(MovementNames, d.Moving)),
        tr("Тип задания: %1").arg(At(ModeNames, d.Mode)),
        tr("Сложность: %1").arg(At(DifficultyNames, d.Difficulty)),
        tr("Самолет: %1").arg(aircraft),
        tr("Армия: %1").arg(At(ArmyNames, d.Army)),
        tr("Группа: %1").arg(At(FlightNames, d.Flight)),
        tr("Высота: %1 м").arg(d.Height),
        tr("Облачность: %1 м").arg(FromCp1251(d.Clouds)),
        tr("Время: %1").arg(FromCp1251(TimeName(d.Time))),
        tr("Погода: %1").arg(At(WeatherNames, d.Weather)),
        tr("Танки: %1")
            .arg(tankSide == TTankSide::None ? QString::number(d.Tanks)
                                             : At(TankDisplayNames[SideIndex(tankSide)], d.Tanks)),
        tr("Случайный маршрут: %1").arg(d.RandomRoute ? tr("да") : tr("нет")),
        tr("Истребители противника: %1").arg(d.Fighters),
    };
    for (const QString& text : rows) {
        auto* box = new QCheckBox(text, this);
        box->setChecked(true);
        // Named by position, as Conditions() reads them.
        box->setObjectName(QStringLiteral("Kept%1").arg(kept_.size()));
        kept_.push_back(box);
        layout->addWidget(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Сохранить"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString TTemplateSaveDialog::Name() const { return nameEdit_->text().trimmed(); }

TConditions TTemplateSaveDialog::Conditions() const {
    TConditions c = all_;
    const auto open = [&](std::size_t row, auto& field) {
        if (row < kept_.size() && !kept_[row]->isChecked()) field.reset();
    };
    open(0, c.Map);
    open(1, c.Target);
    open(2, c.Moving);
    open(3, c.Mode);
    open(4, c.Difficulty);
    open(5, c.Aircraft);
    open(6, c.Army);
    open(7, c.Flight);
    open(8, c.Height);
    open(9, c.Clouds);
    open(10, c.Time);
    open(11, c.Weather);
    open(12, c.Tanks);
    open(13, c.RandomRoute);
    open(14, c.Fighters);
    // A target belongs to its map: an open map leaves the target open too.
    if (!c.Map) c.Target.reset();
    return c;
}

TTemplatePickDialog::TTemplatePickDialog(const std::vector<TTemplate>& templates, QWidget* parent)
    : QDialog(parent), templates_(templates) {
    setWindowTitle(tr("Создать из шаблона"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("TemplateList"));
    for (const auto& t : templates) list_->addItem(QString::fromStdString(t.Name));
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    layout->addWidget(list_);
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Создать"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        text_->setPlainText(
            row >= 0 ? QString::fromStdString(ConditionsToToml(templates_[static_cast<std::size_t>(row)].Conditions))
                     : QString());
    });
    layout->addWidget(buttons);
    if (!templates.empty()) list_->setCurrentRow(0);
    resize(420, 460);
}

int TTemplatePickDialog::Chosen() const { return list_->currentRow(); }

}  // namespace zelk
