#include "logbookui.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <ctime>

#include "data/catalogues.h"
#include "files/paths.h"
#include "generator/writer.h"
#include "generator/random.h"
#include "library/commands.h"
#include "monitor/autosupervisor.h"
#include "monitor/journalplace.h"
#include "pilotfiles/programmefile.h"
#include "ui/askbox.h"
#include "ui/fit.h"
#include "ui/simpaths.h"

namespace zelk {

namespace {

QString ResultText(TFlightResult r) {
    switch (r) {
        case TFlightResult::Yes:
            return TLogbookUi::tr("да");
        case TFlightResult::Partly:
            return TLogbookUi::tr("частично");
        case TFlightResult::No:
            return TLogbookUi::tr("нет");
        case TFlightResult::Unknown:
            return TLogbookUi::tr("не знаю");
        case TFlightResult::None:
            break;
    }
    return TLogbookUi::tr("без отметки");
}

QString WhenText(std::int64_t seconds) {
    return seconds < 0 ? QStringLiteral("-") : QString::fromStdString(LocalTimeText(seconds, "%d.%m %H:%M"));
}

QString FlownText(const TFlight& f) {
    if (f.Unfinished) return TLogbookUi::tr("не закончен");
    if (!f.EndSeen) return TLogbookUi::tr("в полёте");
    if (f.Seconds < 0) return QStringLiteral("?");
    return TLogbookUi::tr("%1 мин").arg((f.Seconds + 30) / 60);
}

QString ConditionsText(const TFlight& f) {
    if (!f.Variant) return TLogbookUi::tr("вариант неизвестен");
    const TMissionData& d = f.Variant->Data;
    return QStringLiteral("%1 - %2, %3, %4")
        .arg(Shown(ModeNames.at(d.Mode % ModeNames.size())), FromCp1251(d.Target),
             QString::fromStdString(TimeName(d.Time)), Shown(WeatherNames.at(static_cast<std::size_t>(d.Weather) % 7)));
}

QString FlightLine(const TFlight& f) {
    return QStringLiteral("#%1  %2  %3  %4  %5")
        .arg(f.Id)
        .arg(WhenText(f.Started), FromCp1251(f.Mission), FlownText(f), ResultText(f.Result));
}

QPushButton* Button(QWidget* parent, const QString& text, const char* name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

}  // namespace

// ---- the debrief ----

TDebriefDialog::TDebriefDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("DebriefDialog"));
    setWindowTitle(tr("Разбор полёта"));
    // The simulator may still be in front: the question waits to be seen.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    question_ = new QLabel(this);
    question_->setWordWrap(true);
    layout->addWidget(question_);
    auto* row = new QHBoxLayout;
    const std::pair<TFlightResult, QString> answers[] = {{TFlightResult::Yes, tr("&Да")},
                                                         {TFlightResult::Partly, tr("&Частично")},
                                                         {TFlightResult::No, tr("&Нет")},
                                                         {TFlightResult::Unknown, tr("Не &знаю")}};
    const char* names[] = {"DebriefYes", "DebriefPartly", "DebriefNo", "DebriefUnknown"};
    int i = 0;
    for (const auto& [result, text] : answers) {
        auto* b = Button(this, text, names[i++]);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, r = result] {
            emit Marked(id_, r, note_->text());
            hide();
        });
        row->addWidget(b);
    }
    layout->addLayout(row);
    auto* noteLabel = new QLabel(tr("&Заметка:"), this);
    note_ = new QLineEdit(this);
    note_->setObjectName(QStringLiteral("DebriefNote"));
    note_->setMaxLength(500);
    noteLabel->setBuddy(note_);
    layout->addWidget(noteLabel);
    layout->addWidget(note_);
    programme_ = new QLabel(this);
    programme_->setWordWrap(true);
    layout->addWidget(programme_);
    auto* later = Button(this, tr("&Позже"), "DebriefLater");
    later->setAutoDefault(false);
    connect(later, &QPushButton::clicked, this, &QDialog::hide);
    layout->addWidget(later, 0, Qt::AlignRight);
    setFixedSize(380, 210);
}

void TDebriefDialog::Offer(const TFlight& flight, const QString& programmeLine) {
    id_ = flight.Id;
    question_->setText(tr("Полёт #%1 (%2) окончен: %3.\nЦель поражена?")
                           .arg(flight.Id)
                           .arg(FromCp1251(flight.Mission), ConditionsText(flight)));
    programme_->setText(programmeLine);
    note_->clear();
    show();
    raise();
}

// ---- the trend ----

void TTrendChart::SetWeeks(std::vector<TTotals> weeks) {
    weeks_ = std::move(weeks);
    update();
}

void TTrendChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (weeks_.empty()) return;
    int most = 1;
    for (const TTotals& w : weeks_) most = std::max(most, w.Flights);
    const int n = static_cast<int>(weeks_.size());
    const int top = 18, bottom = height() - 16, w = width() / n;
    p.setPen(palette().text().color());
    p.drawText(4, 12,
               TLogbookUi::tr("Полёты по неделям (столбцы) и доля поражений (линия), последние %1 недель").arg(n));
    QPolygon line;
    for (int i = 0; i < n; ++i) {
        const TTotals& t = weeks_[static_cast<std::size_t>(i)];
        const int h = (bottom - top) * t.Flights / most;
        p.fillRect(i * w + 4, bottom - h, w - 8, h, palette().highlight());
        p.drawText(i * w, bottom, w, 16, Qt::AlignCenter, QString::number(t.Flights));
        if (t.HitShare() >= 0) line << QPoint(i * w + w / 2, bottom - static_cast<int>((bottom - top) * t.HitShare()));
    }
    p.setPen(QPen(Qt::darkRed, 2));
    p.drawPolyline(line);
    for (const QPoint& pt : line) p.drawEllipse(pt, 2, 2);
}

// ---- the whole book ----

TLogbookDialog::TLogbookDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LogbookDialog"));
    setWindowTitle(tr("Лётная книжка"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs);

    auto* flightsPage = new QWidget(tabs);
    auto* fl = new QVBoxLayout(flightsPage);
    flightsTable_ = new QTableWidget(0, 6, flightsPage);
    flightsTable_->setObjectName(QStringLiteral("tableFlights"));
    flightsTable_->setHorizontalHeaderLabels(
        {tr("№"), tr("Начало"), tr("Задание"), tr("Налёт"), tr("Цель поражена"), tr("Условия, заметка")});
    flightsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    flightsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    flightsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flightsTable_->verticalHeader()->hide();
    flightsTable_->horizontalHeader()->setStretchLastSection(true);
    flightsTable_->setWordWrap(false);
    fl->addWidget(flightsTable_);
    attempts_ = new QLabel(flightsPage);
    attempts_->setObjectName(QStringLiteral("labelAttempts"));
    attempts_->setWordWrap(true);
    attempts_->setMinimumHeight(34);
    fl->addWidget(attempts_);
    auto* buttons = new QHBoxLayout;
    auto* mark = Button(flightsPage, tr("&Отметить..."), "BookMark");
    auto* repeat = Button(flightsPage, tr("По&вторить"), "BookRepeat");
    auto* import = Button(flightsPage, tr("&Импорт журнала событий..."), "BookImport");
    repeat->setToolTip(tr("Записать задание точно в том варианте, что был в этом полёте"));
    buttons->addWidget(mark);
    buttons->addWidget(repeat);
    buttons->addStretch();
    buttons->addWidget(import);
    fl->addLayout(buttons);
    tabs->addTab(flightsPage, tr("По&лёты"));
    connect(mark, &QPushButton::clicked, this, [this] {
        if (SelectedFlight() > 0) emit MarkAsked(SelectedFlight());
    });
    connect(repeat, &QPushButton::clicked, this, [this] {
        if (SelectedFlight() > 0) emit RepeatAsked(SelectedFlight());
    });
    connect(import, &QPushButton::clicked, this, &TLogbookDialog::ImportAsked);
    connect(flightsTable_, &QTableWidget::itemSelectionChanged, this, &TLogbookDialog::ShowAttempts);

    auto* totalsPage = new QWidget(tabs);
    auto* tl = new QVBoxLayout(totalsPage);
    totalsTable_ = new QTableWidget(0, 6, totalsPage);
    totalsTable_->setObjectName(QStringLiteral("tableTotals"));
    totalsTable_->setHorizontalHeaderLabels(
        {tr("Условие"), tr("Значение"), tr("Полётов"), tr("Налёт"), tr("Отмечено"), tr("Поражено")});
    totalsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    totalsTable_->verticalHeader()->hide();
    tl->addWidget(totalsTable_);
    chart_ = new TTrendChart(totalsPage);
    chart_->setObjectName(QStringLiteral("trendChart"));
    chart_->setFixedHeight(130);
    tl->addWidget(chart_);
    tabs->addTab(totalsPage, tr("&Итоги"));

    auto* close = Button(this, tr("Закрыть"), "BookClose");
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    layout->addWidget(close, 0, Qt::AlignRight);
    // Within the main window's own size, like the rest of the program.
    setFixedSize(640, 600);
}

int TLogbookDialog::SelectedFlight() const {
    const int row = flightsTable_->currentRow();
    return row < 0 || row >= static_cast<int>(flights_.size()) ? 0 : flights_[static_cast<std::size_t>(row)].Id;
}

void TLogbookDialog::Show(const std::vector<TFlight>& flights) {
    const int selected = SelectedFlight();
    flights_.assign(flights.rbegin(), flights.rend());
    flightsTable_->setRowCount(static_cast<int>(flights_.size()));
    int row = 0, selectRow = flights_.empty() ? -1 : 0;
    for (const TFlight& f : flights_) {
        if (f.Id == selected) selectRow = row;
        QString conditions = ConditionsText(f);
        if (!f.Note.empty()) conditions += QStringLiteral(" - «%1»").arg(FromCp1251(f.Note));
        const QString cells[] = {QString::number(f.Id), WhenText(f.Started),  FromCp1251(f.Mission),
                                 FlownText(f),          ResultText(f.Result), conditions};
        for (int c = 0; c < 6; ++c) flightsTable_->setItem(row, c, new QTableWidgetItem(cells[c]));
        flightsTable_->item(row, 5)->setToolTip(conditions);
        ++row;
    }
    // The conditions and the note take what is left; the whole text is in the tip.
    for (int c = 0; c < 5; ++c) flightsTable_->resizeColumnToContents(c);
    if (selectRow >= 0) flightsTable_->selectRow(selectRow);

    std::vector<TTotalsRow> rows = TotalsBy(flights);
    rows.insert(rows.begin(), TTotalsRow{TTotalsBy::Target, {}, TotalOf(flights)});
    totalsTable_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TTotalsRow& t = rows[static_cast<std::size_t>(r)];
        const double share = t.Totals.HitShare();
        const QString cells[] = {r == 0 ? tr("все полёты") : QString::fromStdString(TotalsByName(t.By)),
                                 QString::fromStdString(t.Label),
                                 QString::number(t.Totals.Flights),
                                 tr("%1 мин").arg((t.Totals.Seconds + 30) / 60),
                                 QString::number(t.Totals.Marked),
                                 share < 0 ? QStringLiteral("-") : QStringLiteral("%1%").arg(std::lround(share * 100))};
        for (int c = 0; c < 6; ++c) totalsTable_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    totalsTable_->resizeColumnsToContents();
    chart_->SetWeeks(WeeklyTrend(flights, std::time(nullptr), 8));
    ShowAttempts();
}

void TLogbookDialog::ShowAttempts() {
    const int id = SelectedFlight();
    std::vector<TFlight> oldestFirst(flights_.rbegin(), flights_.rend());
    const auto it = std::find_if(oldestFirst.begin(), oldestFirst.end(), [id](const TFlight& f) { return f.Id == id; });
    if (it == oldestFirst.end()) {
        attempts_->clear();
        return;
    }
    const auto others = AttemptsOfSameVariant(oldestFirst, *it);
    if (others.empty()) {
        attempts_->setText(tr("Этот вариант пилот летал один раз."));
        return;
    }
    QStringList parts;
    std::vector<const TFlight*> all = others;
    all.push_back(&*it);
    std::sort(all.begin(), all.end(), [](const TFlight* a, const TFlight* b) { return a->Id < b->Id; });
    for (const TFlight* f : all)
        parts << QStringLiteral("#%1 %2: %3").arg(f->Id).arg(WhenText(f->Started), ResultText(f->Result));
    attempts_->setText(tr("Попытки этого варианта: %1").arg(parts.join(QStringLiteral("  |  "))));
}

// ---- the page and its work ----

TLogbookUi::TLogbookUi(TLogbookHost& host, const std::filesystem::path& logbookFile, TAutoSupervisor& supervisor,
                       QWidget* window, QTabWidget* pages)
    : QObject(window), host_(host), window_(window) {
    setObjectName(QStringLiteral("LogbookUi"));
    if (!logbookFile.empty()) {
        logbook_.emplace(logbookFile);
        stateFile_ = logbookFile.parent_path() / kProgrammeStateFileName;
    }

    auto* page = new QWidget(pages);
    page->setObjectName(QStringLiteral("TabSheetLogbook"));
    programmeLabel_ = new QLabel(page);
    programmeLabel_->setObjectName(QStringLiteral("LabelProgramme"));
    programmeLabel_->setGeometry(8, 4, 305, 44);
    programmeLabel_->setWordWrap(true);
    programmeLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* start = Button(page, tr("П&рограмма..."), "BitBtnProgrammeStart");
    hold_ = Button(page, tr("Де&ржать"), "BitBtnProgrammeHold");
    hold_->setCheckable(true);
    auto* back = Button(page, tr("На&зад"), "BitBtnProgrammeBack");
    auto* next = Button(page, tr("Даль&ше"), "BitBtnProgrammeNext");
    auto* stop = Button(page, tr("С&топ"), "BitBtnProgrammeStop");
    int x = 8;
    for (QPushButton* b : {start, hold_, back, next, stop}) {
        const int w = b == start ? 81 : 56;
        b->setGeometry(x, 50, w, 23);
        x += w + 2;
    }
    start->setToolTip(tr("Начать программу подготовки из файла (TOML)"));
    auto* recentLabel = new QLabel(tr("Последние полёты (Ctrl+L: вся книжка):"), page);
    recentLabel->setGeometry(8, 80, 305, 16);
    recent_ = new QListWidget(page);
    recent_->setObjectName(QStringLiteral("lboxFlights"));
    recent_->setGeometry(8, 96, 305, 110);
    recentLabel->setBuddy(recent_);
    auto* mark = Button(page, tr("&Отметить..."), "BitBtnFlightMark");
    auto* repeat = Button(page, tr("По&вторить"), "BitBtnFlightRepeat");
    auto* book = Button(page, tr("&Книжка..."), "BitBtnLogbook");
    mark->setGeometry(8, 212, 99, 25);
    repeat->setGeometry(111, 212, 99, 25);
    book->setGeometry(214, 212, 99, 25);
    warning_ = new QLabel(page);
    warning_->setObjectName(QStringLiteral("LabelLogbookWarning"));
    warning_->setGeometry(8, 240, 305, 48);
    warning_->setWordWrap(true);
    warning_->setStyleSheet(QStringLiteral("color: #a00000"));
    pages->addTab(page, tr("Лётная книжка"));

    debrief_ = new TDebriefDialog(window_);
    book_ = new TLogbookDialog(window_);
    auto recentId = [this] {
        const int row = recent_->currentRow();
        return row < 0 || row >= static_cast<int>(flights_.size())
                   ? 0
                   : flights_[flights_.size() - 1 - static_cast<std::size_t>(row)].Id;
    };
    auto offer = [this](int id) {
        for (const TFlight& f : flights_)
            if (f.Id == id) debrief_->Offer(f, programmeLabel_->text());
    };
    connect(mark, &QPushButton::clicked, this, [recentId, offer] {
        if (recentId() > 0) offer(recentId());
    });
    connect(repeat, &QPushButton::clicked, this, [this, recentId] {
        if (recentId() > 0) Repeat(recentId());
    });
    connect(book, &QPushButton::clicked, this, &TLogbookUi::OpenBook);
    connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+L")), window_), &QShortcut::activated, this,
            &TLogbookUi::OpenBook);
    connect(book_, &TLogbookDialog::MarkAsked, this, offer);
    connect(book_, &TLogbookDialog::RepeatAsked, this, &TLogbookUi::Repeat);
    connect(book_, &TLogbookDialog::ImportAsked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(window_, tr("Журнал событий авиасимулятора"),
                                                          QString::fromStdString(PathToUtf8(host_.Paths().Root)));
        if (file.isEmpty() || !logbook_) return;
        try {
            const TImportOutcome done = ImportEventLog(*logbook_, std::filesystem::path(file.toStdU16String()));
            Warn(tr("Из журнала записано полётов: %1, дополнено: %2, уже были: %3.")
                     .arg(done.Added)
                     .arg(done.Completed)
                     .arg(done.Known));
        } catch (const std::exception& e) {
            Warn(QString::fromUtf8(e.what()));
        }
        Refresh();
    });
    connect(debrief_, &TDebriefDialog::Marked, this, &TLogbookUi::Mark);
    connect(start, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(window_, tr("Программа подготовки"), QString(),
                                                          tr("Программа (*.toml);;Все файлы (*)"));
        if (!file.isEmpty()) StartProgramme(file);
    });
    connect(hold_, &QPushButton::clicked, this, [this](bool checked) { HoldProgramme(checked); });
    connect(back, &QPushButton::clicked, this, [this] { MoveProgramme(-1); });
    connect(next, &QPushButton::clicked, this, [this] { MoveProgramme(1); });
    connect(stop, &QPushButton::clicked, this, &TLogbookUi::StopProgramme);

    connect(&supervisor, &TAutoSupervisor::FlightRecorded, this,
            [this](int id, const std::string&, bool ended) { OnFlight(id, ended); });
    connect(&supervisor, &TAutoSupervisor::LogbookFailed, this,
            [this](const QString& message) { Warn(tr("Полёт не записан в лётную книжку: %1").arg(message)); });
    if (!logbook_) Warn(tr("Лётную книжку негде вести: папка данных и папка пользователя закрыты для записи."));
    Refresh();
}

void TLogbookUi::Warn(const QString& text) { warning_->setText(text); }

void TLogbookUi::Refresh() {
    flights_ = logbook_ ? logbook_->Flights() : std::vector<TFlight>{};
    const TProgrammeState state = ReadProgrammeState(stateFile_);
    programmeLabel_->setText(QString::fromStdString(ProgrammeLine(state, flights_, ProgrammeStepName(state))));
    hold_->setChecked(state.Held);
    recent_->clear();
    for (auto it = flights_.rbegin(); it != flights_.rend() && recent_->count() < 50; ++it)
        recent_->addItem(FlightLine(*it));
    if (recent_->count() > 0) recent_->setCurrentRow(0);
    if (book_->isVisible()) book_->Show(flights_);
}

void TLogbookUi::OpenBook() {
    Refresh();
    book_->Show(flights_);
    book_->show();
    book_->raise();
    book_->activateWindow();
}

void TLogbookUi::OnFlight(int flightId, bool ended) {
    Refresh();
    if (!ended) return;
    TProgrammeState state = ReadProgrammeState(stateFile_);
    if (AdvanceIfDue(state, flights_)) SaveState(state);
    // The mission is written right after this, with the step in force.
    if (state.On) {
        const int index = host_.Library().FindByFileName(state.Mission);
        if (index >= 0) {
            try {
                PrepareProgrammeMission(host_.Library().At(index), host_.RefData(), state, TimeSeed());
            } catch (const std::exception& e) {
                Warn(tr("Программа: %1. Задание записано без неё.").arg(QString::fromUtf8(e.what())));
            }
        }
    }
    Refresh();
    for (const TFlight& f : flights_)
        if (f.Id == flightId) debrief_->Offer(f, programmeLabel_->text());
}

void TLogbookUi::Mark(int flightId, TFlightResult result, const QString& note) {
    if (!logbook_) return;
    try {
        logbook_->Mark(flightId, result, ToCp1251(note), std::time(nullptr));
    } catch (const std::exception& e) {
        Warn(tr("Отметка не записана: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    flights_ = logbook_->Flights();
    TProgrammeState state = ReadProgrammeState(stateFile_);
    if (AdvanceIfDue(state, flights_) && SaveState(state)) WriteProgrammeMission(state);
    Refresh();
}

bool TLogbookUi::SaveState(const TProgrammeState& state) {
    try {
        WriteProgrammeState(stateFile_, state);
        return true;
    } catch (const std::exception& e) {
        Warn(tr("Состояние программы не записано: %1").arg(QString::fromUtf8(e.what())));
        return false;
    }
}

void TLogbookUi::WriteProgrammeMission(const TProgrammeState& state) {
    if (!state.On) return;
    const int index = host_.Library().FindByFileName(state.Mission);
    if (index < 0) {
        Warn(tr("Задания программы %1 нет в списке.").arg(FromCp1251(state.Mission)));
        return;
    }
    try {
        PrepareProgrammeMission(host_.Library().At(index), host_.RefData(), state, TimeSeed());
        host_.Library().SaveListedMission(state.Mission, host_.RefData(), host_.Paths().MissionFolder, TimeSeed(),
                                          true);
    } catch (const std::exception& e) {
        Warn(tr("Задание программы не записано: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    host_.MissionRewritten(host_.Library().At(index));
}

void TLogbookUi::Repeat(int flightId) {
    const auto it =
        std::find_if(flights_.begin(), flights_.end(), [flightId](const TFlight& f) { return f.Id == flightId; });
    if (it == flights_.end() || !it->Variant) {
        Warn(tr("Вариант этого полёта неизвестен: повторить его нельзя."));
        return;
    }
    const int index = host_.Library().FindByFileName(it->Mission);
    if (index < 0) {
        Warn(tr("Задания %1 нет в списке.").arg(FromCp1251(it->Mission)));
        return;
    }
    TMission& mission = host_.Library().At(index);
    mission.Data = it->Variant->Data;
    TypeComment(mission, it->Variant->Comment);
    mission.NextSeed = it->Variant->Seed;
    try {
        host_.Library().SaveListedMission(it->Mission, host_.RefData(), host_.Paths().MissionFolder, TimeSeed());
        Warn(tr("Задание %1 записано в варианте полёта #%2.").arg(FromCp1251(it->Mission)).arg(flightId));
    } catch (const std::exception& e) {
        Warn(tr("Задание не записано: %1").arg(QString::fromUtf8(e.what())));
    }
    host_.MissionRewritten(mission);
}

void TLogbookUi::StartProgramme(const QString& file) {
    const std::filesystem::path path(file.toStdU16String());
    TProgramme programme;
    try {
        programme = ReadProgrammeFile(path);
    } catch (const std::exception& e) {
        Warn(QString::fromUtf8(e.what()));
        return;
    }
    // The programme flies the mission on the screen.
    if (host_.CurrentMission() == nullptr) {
        Warn(tr("Выберите задание, которое программа будет писать."));
        return;
    }
    TProgrammeState state;
    state.On = true;
    state.File = path;
    state.Name = programme.Name;
    state.Steps = static_cast<int>(programme.Steps.size());
    state.AdvanceAfter = programme.AdvanceAfter;
    state.Mission = host_.CurrentMission()->FileName;
    for (const TFlight& f : flights_) state.Since = std::max(state.Since, f.Id);
    if (host_.CurrentMission()->IsNew != 0) {
        Warn(tr("Сохраните задание, прежде чем начать программу."));
        return;
    }
    if (SaveState(state)) WriteProgrammeMission(state);
    Refresh();
}

void TLogbookUi::HoldProgramme(bool held) {
    TProgrammeState state = ReadProgrammeState(stateFile_);
    if (!state.On) {
        hold_->setChecked(false);
        return;
    }
    state.Held = held;
    SaveState(state);
    Refresh();
}

void TLogbookUi::MoveProgramme(int delta) {
    TProgrammeState state = ReadProgrammeState(stateFile_);
    if (MoveStep(state, delta, flights_) && SaveState(state)) WriteProgrammeMission(state);
    Refresh();
}

void TLogbookUi::StopProgramme() {
    TProgrammeState state = ReadProgrammeState(stateFile_);
    if (!state.On) return;
    state.On = false;
    SaveState(state);
    Refresh();
}

}  // namespace zelk
