#pragma once
// The set-up check in the window: the core's report as a list the pilot
// reads, with a button that checks again after a fix.
#include <QDialog>

#include <functional>
#include <vector>

#include "doctor/doctor.h"

class QLabel;
class QTextBrowser;

namespace zelk {

// The report as HTML: one heading per area, each item with its mark, what
// was found and how to fix it.
QString DoctorReportHtml(const std::vector<TDoctorItem>& items);

class TDoctorDialog : public QDialog {
    Q_OBJECT
public:
    // `input` is asked anew at each check: a fixed conf.ini counts at once.
    explicit TDoctorDialog(std::function<TDoctorInput()> input, QWidget* parent = nullptr);

    void Recheck();
    const std::vector<TDoctorItem>& Items() const { return items_; }

private:
    QLabel* summary_ = nullptr;
    QTextBrowser* report_ = nullptr;
    std::function<TDoctorInput()> input_;
    std::vector<TDoctorItem> items_;
};

}  // namespace zelk
