#pragma once
// THintBar: the two-part hint bar at the bottom of the parameter dialogs and the service
// windows. When a control of its window gets the focus, the left panel shows the control's hint
// and the right one its key text ("<ENTER>" or "<SELECT>"); a control without a hint shows
// empty panels. A button with a hint shows it while the pointer is over it as well.

#include <QLabel>
#include <QString>
#include <QWidget>

#include <map>
#include <optional>

class THintBar final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 20;
    static constexpr int kKeyWidth = 60;

    explicit THintBar(QWidget* parent);

    // The hint of a control, with the key text of HintKeyText or, given, one of its own.
    void SetHint(QWidget* control, const QString& hint, std::optional<QString> keyText = std::nullopt);
    // Shows the hint of a control (a spin box's inner edit shows its spin box's).
    void ShowFor(QWidget* control);

    QLabel* pnlHint1 = nullptr;   // what the control does
    QLabel* pnlHint2 = nullptr;   // "<ENTER>" or "<SELECT>"

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct THint {
        QString hint;
        std::optional<QString> keyText;
    };
    std::map<const QWidget*, THint> m_hints;
};
