// The window's kneeboard card and templates of conditions, as a pilot uses them.
#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <set>

#include "card/card.h"
#include "files/savefs.h"
#include "support/tempdir.h"
#include "templates.h"
#include "ui/carddialog.h"
#include "ui/mainform.h"
#include "ui/templatedialogs.h"
#include "asked.h"
#include "controls.h"
#include "uidata.h"

using namespace zelk;
using zelk::test::TAsked;
using zelk::test::TUiSandbox;
namespace fs = std::filesystem;

namespace {

struct TAskScript {
    std::vector<TAsked> Asked;
    TAskFunc Func() {
        return [this](QWidget*, TAskKind kind, const QString& caption, const QString& text) {
            Asked.push_back({kind, caption, text});
            return kind == TAskKind::Confirm ? QMessageBox::Yes : QMessageBox::Ok;
        };
    }
};

std::unique_ptr<TZELK_form> OpenForm(const TUiSandbox& box, TAskScript& ask) {
    TFormOptions options;
    options.Root = box.Root;
    options.DataDir = box.Data;
    options.Ask = ask.Func();
    auto form = std::make_unique<TZELK_form>(std::move(options));
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
    return form;
}

std::string Bytes(const fs::path& file) {
    std::string bytes;
    TSaveFileSystem().ReadFile(file, bytes);
    return bytes;
}

}  // namespace

class TestPilot : public QObject {
    Q_OBJECT
private slots:
    void TemplateSavedInTheWindowMakesMissionsThatKeepItsFixedConditions();
    void CardIsSavedAsPdfAndPngButNeverIntoTheMissionFolder();
};

void TestPilot::TemplateSavedInTheWindowMakesMissionsThatKeepItsFixedConditions() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    TMission& shown = *form->CurrentMission();
    shown.Data.Height = 3210;
    shown.Data.Flight = 2;
    form->ShowMissionData();
    const TMissionData source = form->CurrentMission()->Data;

    TTemplateSaveDialog dialog(source, form->RefData());
    zelk::test::Named<QLineEdit>(dialog, "TemplateName")->setText(QStringLiteral("  Высоко  "));
    zelk::test::Named<QCheckBox>(dialog, "Kept10")->setChecked(false);  // hour
    zelk::test::Named<QCheckBox>(dialog, "Kept11")->setChecked(false);  // weather
    QVERIFY(form->KeepTemplate({dialog.Name().toStdString(), dialog.Conditions()}));
    const auto kept = ReadTemplates(form->TemplatesFile());
    QCOMPARE(kept.size(), std::size_t(1));
    QCOMPARE(kept[0].Name, std::string("Высоко"));

    std::set<std::pair<int, int>> open;
    for (int i = 0; i < 3; ++i) {
        QVERIFY(form->NewMissionFromTemplate("Высоко"));
        const TMissionData& d = form->CurrentMission()->Data;
        QCOMPARE(d.Target, source.Target);
        QCOMPARE(d.Mode, source.Mode);
        QCOMPARE(d.Difficulty, source.Difficulty);
        QCOMPARE(d.Aircraft, source.Aircraft);
        QCOMPARE(d.Height, 3210);
        QCOMPARE(d.Flight, 2);
        QCOMPARE(d.Clouds, source.Clouds);
        open.insert({d.Time, d.Weather});
    }
    QVERIFY2(open.size() > 1, "the open hour and weather came out the same three times");
    QCOMPARE(form->Library().Count(), 4);
    QVERIFY(ask.Asked.empty());

    // Saved again under its name, it replaces the template after a question.
    QVERIFY(form->KeepTemplate({"Высоко", ConditionsOf(source)}));
    QCOMPARE(ask.Asked.size(), std::size_t(1));
    QCOMPARE(ReadTemplates(form->TemplatesFile()).at(0).Conditions, ConditionsOf(source));
}

void TestPilot::CardIsSavedAsPdfAndPngButNeverIntoTheMissionFolder() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    // A mission never written has no card yet.
    form->ShowCard();
    QCOMPARE(ask.Asked.size(), std::size_t(1));
    QVERIFY(form->DoSave());
    const TMission& m = *form->CurrentMission();
    const TCardPlaces places{form->Paths().MissionFolder, box.Data, box.Data};
    TCardDialog dialog(
        CardSourceOf(m, places.MissionFolder, form->RefData(), "2026-12-09", "2.2"), form->RefData(), places,
        [&](QWidget* w, TAskKind k, const QString& c, const QString& t) { return ask.Func()(w, k, c, t); });
    const fs::path pdf = box.Dir.Path() / "card.pdf";
    QVERIFY(dialog.SaveTo(pdf));
    QCOMPARE(Bytes(pdf).substr(0, 4), std::string("%PDF"));
    dialog.SetPageSize(TPageSize::A4);
    QCOMPARE(dialog.Card().Width, 210.0);
    const fs::path png = box.Dir.Path() / "card.png";
    QVERIFY(dialog.SaveTo(png));
    QCOMPARE(Bytes(png).substr(1, 3), std::string("PNG"));

    const fs::path refused = places.MissionFolder / "card.pdf";
    QVERIFY(!dialog.SaveTo(refused));
    QVERIFY(!fs::exists(refused));
    QCOMPARE(ask.Asked.back().Kind, TAskKind::Problem);
}

QTEST_MAIN(TestPilot)
#include "pilot_test.moc"
