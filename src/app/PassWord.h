#pragma once
// The password dialog of the service modes: one masked box; Enter compares its text with the
// password of the command-line switch and closes, whether or not it matched, without a word.

#include <QDialog>

class QLineEdit;
class QLabel;

class TfrmPassWord final : public QDialog {
    Q_OBJECT
public:
    // The service mode whose switch was given; its password is the one that counts.
    enum class TFor { Factory, SerialWriter, Firmware };

    // initialText: the second command-line parameter, put into the box before the dialog
    // opens (may be empty).
    TfrmPassWord(TFor mode, const QString& initialText, QWidget* parent = nullptr);

    // Which mode the typed password opened. At most one is set; all false after a wrong
    // password or when the dialog was closed without Enter.
    bool FactoryResult() const { return m_factory; }
    bool SerialWriterResult() const { return m_serialWriter; }
    bool FirmwareResult() const { return m_firmware; }

    QLineEdit* PasswordEdit() const { return edtPassword; }

    static QString PasswordOf(TFor mode);

private:
    void CheckPassword();

    QLabel* lblPassword = nullptr;
    QLineEdit* edtPassword = nullptr;
    TFor m_mode;
    bool m_factory = false;
    bool m_serialWriter = false;
    bool m_firmware = false;
};
