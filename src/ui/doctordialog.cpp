#include "ui/doctordialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zelk {

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QString SummaryText(const std::vector<TDoctorItem>& items) {
    int faults = 0, warnings = 0;
    for (const auto& item : items) {
        faults += item.Status == TDoctorStatus::Fault;
        warnings += item.Status == TDoctorStatus::Warning;
    }
    std::string text =
        faults ? DoctorWord(TDoctorWord::Failed, std::to_string(faults)) : DoctorWord(TDoctorWord::Passed);
    if (warnings) text += DoctorWord(TDoctorWord::WarningsCount, std::to_string(warnings));
    return Q(text);
}

}  // namespace

QString DoctorReportHtml(const std::vector<TDoctorItem>& items) {
    static const char* const marks[] = {"&#10004;", "!", "&#10006;"};
    static const char* const colours[] = {"#2e7d32", "#b26a00", "#c62828"};
    QString html = QStringLiteral("<table cellspacing='0' cellpadding='3' width='100%'>");
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TDoctorItem& item = items[i];
        if (i == 0 || items[i - 1].Area != item.Area)
            html += QStringLiteral("<tr><td colspan='2'><br><b>%1</b></td></tr>")
                        .arg(Q(DoctorAreaName(item.Area)).toHtmlEscaped());
        const int s = static_cast<int>(item.Status);
        html += QStringLiteral("<tr><td valign='top' width='24' style='color:%1'><b>%2</b></td><td>%3")
                    .arg(QString::fromLatin1(colours[s]), QString::fromLatin1(marks[s]), Q(item.What).toHtmlEscaped());
        if (!item.Fix.empty())
            html += QStringLiteral("<br><i>%1</i>%2")
                        .arg(Q(DoctorWord(TDoctorWord::FixLabel)).toHtmlEscaped(), Q(item.Fix).toHtmlEscaped());
        html += QStringLiteral("</td></tr>");
    }
    return html + QStringLiteral("</table>");
}

TDoctorDialog::TDoctorDialog(std::function<TDoctorInput()> input, QWidget* parent)
    : QDialog(parent), input_(std::move(input)) {
    setObjectName(QStringLiteral("DoctorDialog"));
    setWindowTitle(Q(DoctorWord(TDoctorWord::Title)));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("DoctorSummary"));
    summary_->setWordWrap(true);
    QFont bold = summary_->font();
    bold.setBold(true);
    summary_->setFont(bold);
    layout->addWidget(summary_);
    report_ = new QTextBrowser(this);
    report_->setObjectName(QStringLiteral("DoctorReport"));
    report_->setOpenLinks(false);
    layout->addWidget(report_, 1);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* again = buttons->addButton(Q(DoctorWord(TDoctorWord::Recheck)), QDialogButtonBox::ActionRole);
    again->setObjectName(QStringLiteral("DoctorRecheck"));
    QPushButton* close = buttons->addButton(Q(DoctorWord(TDoctorWord::Close)), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    layout->addWidget(buttons);
    connect(again, &QPushButton::clicked, this, &TDoctorDialog::Recheck);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(760, 560);
    Recheck();
}

void TDoctorDialog::Recheck() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    items_ = RunDoctor(input_());
    QGuiApplication::restoreOverrideCursor();
    summary_->setText(SummaryText(items_));
    summary_->setStyleSheet(DoctorPassed(items_) ? QStringLiteral("color:#2e7d32") : QStringLiteral("color:#c62828"));
    report_->setHtml(DoctorReportHtml(items_));
}

}  // namespace zelk
