#include "carddialog.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#ifdef ZELK_HAS_PRINTING
#include <QPrintDialog>
#include <QPrinter>
#endif

#include "cardqt/paintcard.h"
#include "files/paths.h"
#include "files/savefs.h"

namespace zelk {

TCardDialog::TCardDialog(TCardSource source, const TRefData& ref, TCardPlaces places, TAskFunc ask, QWidget* parent)
    : QDialog(parent), source_(std::move(source)), ref_(ref), places_(std::move(places)), ask_(std::move(ask)) {
    setWindowTitle(tr("Карточка задания %1").arg(FromCp1251(source_.FileName)));
    auto* layout = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    view_ = new QLabel(scroll);
    view_->setAlignment(Qt::AlignCenter);
    scroll->setWidget(view_);
    scroll->setWidgetResizable(true);
    // Room for the whole width of an A5 page as shown, and most of its height.
    const QRect screen = parent != nullptr && parent->screen() != nullptr ? parent->screen()->availableGeometry()
                                                                          : QRect(0, 0, 1280, 1024);
    scroll->setMinimumSize(620, std::min(880, screen.height() * 4 / 5));
    layout->addWidget(scroll);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Размер:"), this));
    sizes_ = new QComboBox(this);
    sizes_->addItems({tr("A5 (книжная)"), tr("A4 (книжная)")});
    row->addWidget(sizes_);
    row->addStretch();
    auto* print = new QPushButton(tr("Печать..."), this);
    auto* pdf = new QPushButton(tr("Сохранить PDF..."), this);
    auto* png = new QPushButton(tr("Сохранить PNG..."), this);
    auto* close = new QPushButton(tr("Закрыть"), this);
    for (auto* b : {print, pdf, png, close}) row->addWidget(b);
    layout->addLayout(row);

    connect(sizes_, &QComboBox::currentIndexChanged, this,
            [this](int i) { SetPageSize(i == 1 ? TPageSize::A4 : TPageSize::A5); });
#ifdef ZELK_HAS_PRINTING
    connect(print, &QPushButton::clicked, this, &TCardDialog::Print);
#else
    // This Qt cannot print; the PDF prints from any viewer.
    print->setVisible(false);
#endif
    connect(pdf, &QPushButton::clicked, this, [this] { SaveAs(tr("Документ PDF (*.pdf)"), QStringLiteral(".pdf")); });
    connect(png, &QPushButton::clicked, this, [this] { SaveAs(tr("Рисунок PNG (*.png)"), QStringLiteral(".png")); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    Relayout();
}

void TCardDialog::SetPageSize(TPageSize size) {
    size_ = size;
    const QSignalBlocker blocker(sizes_);
    sizes_->setCurrentIndex(size == TPageSize::A4 ? 1 : 0);
    Relayout();
}

void TCardDialog::Relayout() {
    card_ = LayoutCard(source_, &ref_, size_);
    // On screen at about the printed size of an A5 page.
    const double dpi = size_ == TPageSize::A4 ? 72 : 100;
    view_->setPixmap(QPixmap::fromImage(CardImage(card_, dpi)));
}

void TCardDialog::Print() {
#ifdef ZELK_HAS_PRINTING
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(size_ == TPageSize::A4 ? QPageSize::A4 : QPageSize::A5));
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        ask_(this, TAskKind::Error, tr("Ошибка"), tr("Принтер не удалось подготовить к печати."));
        return;
    }
    PaintCard(painter, card_, printer.resolution() / 25.4);
#endif
}

void TCardDialog::SaveAs(const QString& filter, const QString& ending) {
    const QString suggested = FromCp1251(source_.FileName).section(QLatin1Char('.'), 0, 0) + ending;
    const QString chosen = QFileDialog::getSaveFileName(this, tr("Сохранить карточку"), suggested, filter);
    if (chosen.isEmpty()) return;
    SaveTo(PathFromUtf8(chosen.toStdString()));
}

bool TCardDialog::SaveTo(const std::filesystem::path& file) {
    const QString name = QString::fromStdString(PathToUtf8(file));
    if (CardPlaceRefused(file, places_.MissionFolder, places_.DataDir, places_.JournalFolder)) {
        ask_(this, TAskKind::Problem, tr("Проблема"),
             tr("Карточка не пишется в папку заданий и не заменяет файлы данных, журнал или шаблоны: %1").arg(name));
        return false;
    }
    QByteArray bytes;
    QString error;
    if (name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        bytes = CardsPdf({card_}, &error);
    else if (name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        bytes = PngBytes(CardImage(card_));
    if (bytes.isEmpty()) {
        ask_(this, TAskKind::Problem, tr("Проблема"),
             tr("Карточку не удалось записать в файл %1: допустимы файлы .pdf и .png").arg(name));
        return false;
    }
    try {
        TSaveFileSystem disk;
        WriteFileAtomically(disk, file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const std::exception& e) {
        ask_(this, TAskKind::Error, tr("Ошибка"), QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

}  // namespace zelk
