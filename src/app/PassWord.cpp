#include "app/PassWord.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

QString TfrmPassWord::PasswordOf(TFor mode)
{
    switch (mode) {
    case TFor::Factory: return QStringLiteral("RIVET-PLANK");
    case TFor::SerialWriter: return QStringLiteral("MARLINS-COPSE");
    case TFor::Firmware: return QStringLiteral("BX-LUMINOSWIFT");
    }
    return {};
}

TfrmPassWord::TfrmPassWord(TFor mode, const QString& initialText, QWidget* parent)
    : QDialog(parent), m_mode(mode)
{
    setObjectName(QStringLiteral("frmPassWord"));
    setWindowTitle(QStringLiteral("Password"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setModal(true);

    lblPassword = new QLabel(QStringLiteral("Password"), this);
    edtPassword = new QLineEdit(this);
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    edtPassword->setEchoMode(QLineEdit::Password);
    // One "*" for each character, whatever the style's own mask character is.
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    edtPassword->setMinimumWidth(160);
    edtPassword->setText(initialText);
    lblPassword->setBuddy(edtPassword);

    auto* row = new QHBoxLayout(this);
    row->addWidget(lblPassword);
    row->addWidget(edtPassword, 1);

    connect(edtPassword, &QLineEdit::returnPressed, this, &TfrmPassWord::CheckPassword);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmPassWord::CheckPassword()
{
    m_factory = m_serialWriter = m_firmware = false;
    if (edtPassword->text().toUpper() == PasswordOf(m_mode).toUpper()) {
        m_factory = m_mode == TFor::Factory;
        m_serialWriter = m_mode == TFor::SerialWriter;
        m_firmware = m_mode == TFor::Firmware;
    }
    accept();
}
