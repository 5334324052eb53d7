#include "grid/Visible.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kCaption = "Visible";
constexpr const char* kOkCaption = "Ok";
constexpr const char* kCancelCaption = "Cancel";
constexpr std::array<const char*, TfrmVisible::kBoxes> kBoxCaptions{
    "&Chn", "&Tag", "Frequency &RX", "Frequency T&X", "&Mode",
    "&Pwr", "S&hift", "&Encryption Code", "&Selcall", "T&une Mode",
};

} // namespace

TfrmVisible::TfrmVisible(const std::array<bool, kItems>& visible, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_flags(visible)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    auto* boxes = new QGridLayout;
    for (int i = 0; i < kBoxes; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kBoxCaptions[static_cast<size_t>(i)]), this);
        box->setChecked(visible[static_cast<size_t>(i)]);
        chkItems[static_cast<size_t>(i)] = box;
        boxes->addWidget(box, i % 5, i / 5);
    }
    btnOk = new QPushButton(QString::fromLatin1(kOkCaption), this);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QString::fromLatin1(kCancelCaption), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOk, &QPushButton::clicked, this, &TfrmVisible::Ok);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmVisible::Ok()
{
    for (int i = 0; i < kBoxes; ++i)
        m_flags[static_cast<size_t>(i)] = chkItems[static_cast<size_t>(i)]->isChecked();
    accept();
}
