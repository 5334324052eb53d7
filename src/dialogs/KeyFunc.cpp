#include "dialogs/KeyFunc.h"

#include "model/DialogTexts.h"
#include "model/U_Const.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr const char* kNoFunction = "N/A";
constexpr int kPictureHeight = 140;

// The front panel's three toggle switches, drawn where the marker moves below them.
class TSwitchPicture final : public QWidget {
public:
    explicit TSwitchPicture(QWidget* parent) : QWidget(parent) { setFixedHeight(kPictureHeight); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1));
        p.setBrush(palette().color(QPalette::Button));
        p.drawRoundedRect(QRectF(118, 40, 94, 78), 6, 6);
        const char* names[] = {"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            const int centre = TfrmKeyFunc::kMarkerLeft[static_cast<size_t>(i)] + 6;
            p.setBrush(palette().color(QPalette::Mid));
            p.drawRect(QRectF(centre - 4, 62, 8, 36));
            p.setBrush(palette().color(QPalette::Dark));
            p.drawEllipse(QPointF(centre, 66), 4, 4);
            p.drawText(QRectF(centre - 8, 100, 16, 16), Qt::AlignCenter, QString::fromLatin1(names[i]));
        }
    }
};

QPixmap MarkerPicture()
{
    QPixmap pix(12, 12);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::red);
    p.drawPolygon(QPolygonF({QPointF(6, 0), QPointF(12, 11), QPointF(0, 11)}));
    return pix;
}

}  // namespace

TfrmKeyFunc::TfrmKeyFunc(QWidget* parent) : TParamDialog(mv53::dlg::kKeyFuncCaption, parent, "Cancel")
{
    auto* picture = new TSwitchPicture(this);
    TopArea()->addWidget(picture);
    imgMarker = new QLabel(picture);
    imgMarker->setObjectName(QStringLiteral("imgMarker"));
    imgMarker->setPixmap(MarkerPicture());
    imgMarker->setFixedSize(12, 12);
    imgMarker->move(kMarkerLeft[0], kMarkerTop);

    cmbA = AddCombo(mv53::dlg::kSwitchALabel, "cmbA", {},
                    "Specify Left toggle switch key function.", HelpContext::kSwitchA);
    cmbB = AddCombo(mv53::dlg::kSwitchBLabel, "cmbB", {},
                    "Specify Centor toggle switch key function.", HelpContext::kSwitchB);
    cmbC = AddCombo(mv53::dlg::kSwitchCLabel, "cmbC", {},
                    "Specify Right toggle switch key function.", HelpContext::kSwitchC);
    m_lists = {cmbA, cmbB, cmbC};
    SetDefaultHelpContext(HelpContext::kKeyFunction);
}

int TfrmKeyFunc::SwitchOf(const QWidget* control) const
{
    for (int i = 0; i < 3; ++i)
        if (m_lists[static_cast<size_t>(i)] == control)
            return i;
    return -1;
}

void TfrmKeyFunc::BuildLists()
{
    std::array<bool, kKeyFuncCount> used{};
    for (int i = 0; i < 3; ++i) {
        const int row = KeyFuncIndex(FactoryOpt.KeyFunc(i));
        if (row >= 0)
            used[static_cast<size_t>(row)] = true;
    }
    for (int i = 0; i < 3; ++i) {
        QComboBox* list = m_lists[static_cast<size_t>(i)];
        const QSignalBlocker quiet(list);
        list->clear();
        for (int row = 0; row < kKeyFuncCount; ++row) {
            const TKEYFNCTBL& entry = KeyFuncTable()[static_cast<size_t>(row)];
            const bool none = std::string(entry.Name) == kNoFunction;
            if (none || !used[static_cast<size_t>(row)])
                list->addItem(QString::fromLatin1(entry.Name));
            if (entry.Code == FactoryOpt.KeyFunc(i)) {
                if (!none)
                    list->addItem(QString::fromLatin1(entry.Name));
                list->setCurrentIndex(list->count() - 1);
            }
        }
    }
}

void TfrmKeyFunc::LoadControls() { BuildLists(); }

void TfrmKeyFunc::TakeList(int index)
{
    QComboBox* list = m_lists[static_cast<size_t>(index)];
    const int32_t code = KeyFuncCode(list->currentText().toStdString());
    // A list without a selection (a code no row names) leaves the switch as it was.
    if (list->currentIndex() >= 0 && code >= 0)
        FactoryOpt.SetKeyFunc(index, code);
    BuildLists();
}

void TfrmKeyFunc::StoreControls()
{
    // "&Ok" by its Alt key leaves the focus in the list: its choice counts as well.
    const int focused = SwitchOf(focusWidget());
    if (focused >= 0)
        TakeList(focused);
}

void TfrmKeyFunc::FocusMoved(QWidget* from, QWidget* to)
{
    const int left = SwitchOf(from);
    if (left >= 0 && from != to)
        TakeList(left);
    const int entered = SwitchOf(to);
    if (entered >= 0)
        imgMarker->move(kMarkerLeft[static_cast<size_t>(entered)], kMarkerTop);
}
