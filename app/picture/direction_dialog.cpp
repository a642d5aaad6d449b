#include "picture/direction_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel::app {

TfrmDirection::TfrmDirection(JobState& job, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      job_(job) {
    setWindowTitle(QStringLiteral("Direction"));
    auto* group = new QGroupBox(QStringLiteral("Select Direction"), this);
    auto* grid = new QGridLayout(group);
    const char* names[8] = {"North", "North East", "East", "South East",
                            "South", "South West", "West", "North West"};
    for (int i = 0; i < 8; ++i) {
        buttons_[i] = new QRadioButton(QString::fromLatin1(names[i]), group);
        grid->addWidget(buttons_[i], i % 4, i / 4);
        const auto code = static_cast<std::uint8_t>(i + 1);
        connect(buttons_[i], &QRadioButton::clicked, this,
                [this, code] { job_.LightDirection = code; });
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    resize(213, 165);
}

void TfrmDirection::showEvent(QShowEvent* event) {
    if (job_.LightDirection >= 1 && job_.LightDirection <= 8) {
        buttons_[job_.LightDirection - 1]->setChecked(true);
    }
    QDialog::showEvent(event);
}

}  // namespace quarvel::app
