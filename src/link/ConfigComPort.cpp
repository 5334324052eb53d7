#include "link/ConfigComPort.h"

#include "link/U_ComRS.h"
#include "platform/PortMap.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QVBoxLayout>

#include <map>
#include <vector>

namespace {

constexpr int kRowsPerColumn = 5;

bool sameText(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString TfrmConfig::ButtonCaption(int n)
{
    if (n <= 9)
        return QStringLiteral("COM&%1").arg(n);
    if (n == 10)
        return QStringLiteral("COM1&0");
    return QStringLiteral("COM%1").arg(n);
}

TfrmConfig::TfrmConfig(int comPortNo, QWidget* parent, const bool* backupBeforeWrite)
    : QDialog(parent), m_comPortNo(comPortNo)
{
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QString::fromLatin1(kConfigCaption));
    setModal(true);

    grpSelect = new QGroupBox(QString::fromLatin1(kSelectComPortCaption), this);
    grpSelect->setObjectName(QStringLiteral("grpSelect"));
    auto* grid = new QGridLayout(grpSelect);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);

    // The present ports; a button is enabled when its port is among them. The cable's entry
    // carries the suffix, so the port name before it is what counts.
    const std::vector<mv53::TComPortInfo> ports = mv53::EnumerateComPorts();
    std::vector<std::string> list;
    mv53::BuildComPortList(ports, list);
    std::map<std::string, const mv53::TComPortInfo*> portOfName;
    for (const auto& port : ports)
        portOfName.emplace(port.name, &port);

    for (int n = 1; n <= kConfigPortCount; ++n) {
        const std::string name = "COM" + std::to_string(n);
        const std::string* entry = nullptr;
        for (const auto& e : list)
            if (sameText(mv53::PortNameOfEntry(e), name))
                entry = &e;
        QString caption = ButtonCaption(n);
        auto& device = m_devices[static_cast<size_t>(n - 1)];
        QString toolTip;
        if (entry != nullptr) {
            if (entry->size() > name.size())
                caption += QString::fromStdString(entry->substr(mv53::PortNameOfEntry(*entry).size()));
            const auto it = portOfName.find(mv53::PortNameOfEntry(*entry));
            const mv53::TComPortInfo* port = it != portOfName.end() ? it->second : nullptr;
            device = port != nullptr ? port->device : mv53::platform::PortMap::DevicePathForPort(n);
            // The adapter's maker and serial number stay with it wherever it is plugged in.
            QStringList lines;
            if (port != nullptr && !port->stableName.empty()) {
                caption += QStringLiteral("  ") + QString::fromStdString(port->stableName);
                lines << QString::fromStdString(port->stableName);
            }
            if (port != nullptr && !port->stablePath.empty() && port->stablePath != device)
                lines << QString::fromStdString(port->stablePath);
            lines << QString::fromStdString(device);
            toolTip = lines.join(QLatin1Char('\n'));
        } else {
            device = mv53::platform::PortMap::DevicePathForPort(n);
            toolTip = device.empty() ? QStringLiteral("(not present)")
                                     : QString::fromStdString(device) + QStringLiteral(" (not present)");
        }
        auto* button = new QRadioButton(caption, grpSelect);
        button->setObjectName(QStringLiteral("rbtnCom%1").arg(n));
        button->setEnabled(entry != nullptr);
        button->setToolTip(toolTip);
        rbtnCom[static_cast<size_t>(n - 1)] = button;
        m_group->addButton(button, n - 1);
        grid->addWidget(button, (n - 1) % kRowsPerColumn, (n - 1) / kRowsPerColumn);
    }
    if (comPortNo >= 0 && comPortNo < kConfigPortCount)
        rbtnCom[static_cast<size_t>(comPortNo)]->setChecked(true);

    lblDevice = new QLabel(this);
    lblDevice->setObjectName(QStringLiteral("lblDevice"));

    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grpSelect);
    layout->addWidget(lblDevice);
    if (backupBeforeWrite != nullptr) {
        chkBackup = new QCheckBox(QString::fromLatin1(kBackupBeforeWriteCaption), this);
        chkBackup->setObjectName(QStringLiteral("chkBackup"));
        chkBackup->setChecked(*backupBeforeWrite);
        layout->addWidget(chkBackup);
    }
    layout->addLayout(buttons);

    connect(btnOk, &QPushButton::clicked, this, &TfrmConfig::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmConfig::reject);
    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool) { showDevice(); });
    showDevice();
}

void TfrmConfig::showDevice()
{
    const int id = m_group->checkedId();
    lblDevice->setText(id < 0 ? QString() : QStringLiteral("Device: ") + QString::fromStdString(m_devices[static_cast<size_t>(id)]));
}

void TfrmConfig::accept()
{
    for (int i = 0; i < kConfigPortCount; ++i) {
        const auto* button = rbtnCom[static_cast<size_t>(i)];
        if (button->isChecked()) {
            m_comPortNo = i;
            // The number keeps this device from now on, whatever else is plugged in later.
            if (button->isEnabled() && !m_devices[static_cast<size_t>(i)].empty())
                mv53::platform::PortMap::Choose(i + 1, m_devices[static_cast<size_t>(i)]);
            break;
        }
    }
    QDialog::accept();
}

bool ConfigureComPort(int& comPortNo, QWidget* parent, bool* backupBeforeWrite)
{
    TfrmConfig dlg(comPortNo, parent, backupBeforeWrite);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    comPortNo = dlg.ComPortNo();
    if (backupBeforeWrite != nullptr)
        *backupBeforeWrite = dlg.chkBackup->isChecked();
    return true;
}
