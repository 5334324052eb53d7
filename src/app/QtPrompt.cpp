#include "app/QtPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace mv53 {

namespace {

// Room for the window manager's buttons beside a caption.
constexpr int kTitleBarButtons = 96;

QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toLocal8Bit().toStdString(); }

QMessageBox::Icon ToIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QStringList NameFilters(const std::vector<FileFilter>& filters)
{
    QStringList out;
    for (const auto& f : filters)
        out << NameFilter(f);
    return out;
}

QWidget* Owner(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }

}  // namespace

QString NameFilter(const FileFilter& filter)
{
    QStringList patterns;
    for (const auto& p : filter.patterns)
        patterns << Q(p);
    const QString caption = Q(filter.caption);
    const QString list = patterns.join(QLatin1Char(' '));
    // Qt reads the patterns from the last parentheses; a caption such as "M53 Files(*.m53)"
    // already carries them.
    if (caption.endsWith(QLatin1Char(')')) && caption.contains(QLatin1Char('(')))
        return caption;
    return caption + QStringLiteral(" (") + list + QLatin1Char(')');
}

PromptAnswer QtPrompt::Message(const std::string& text, PromptIcon icon, PromptButtons buttons,
                               const std::string& detail)
{
    QMessageBox box(Owner(m_parent));
    box.setWindowTitle(m_title);
    box.setIcon(ToIcon(icon));
    // "\r\n" in the texts is a line break of the box.
    QString shown = Q(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(shown);
    // The reason stands visibly below the system's own text, not behind a details button.
    if (!detail.empty())
        box.setInformativeText(Q(detail));
    QPushButton* no = nullptr;
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case PromptButtons::YesNo:
        // As a Yes/No box on Windows: neither Escape nor the close button answers, because No
        // may mean "throw the changes away". A No without the reject role is no escape button.
        box.addButton(QMessageBox::Yes);
        no = box.addButton(QStringLiteral("&No"), QMessageBox::ActionRole);
        box.setDefaultButton(QMessageBox::Yes);
        box.setWindowFlag(Qt::WindowCloseButtonHint, false);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    }
    // At least as wide as its caption, which the title bar would otherwise cut.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(box.fontMetrics().horizontalAdvance(m_title) + kTitleBarButtons, 0),
                      grid->rowCount(), 0, 1, grid->columnCount());
    if (m_place) {
        box.move(*m_place);
        m_place.reset();
    }
    const int result = box.exec();
    if (no != nullptr && box.clickedButton() == no)
        return PromptAnswer::No;
    switch (result) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Ok: return PromptAnswer::Ok;
    default: break;
    }
    // Closing the box without a button: the safe answer of its kind.
    return SafeAnswer(buttons);
}

std::optional<OpenFileResult> QtPrompt::OpenFile(const OpenFileRequest& request)
{
    QFileDialog dlg(Owner(m_parent), Q(request.title), Q(request.folder));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters(NameFilters(request.filters));
    dlg.setDefaultSuffix(Q(request.defaultSuffix));
    QCheckBox* readOnly = nullptr;
    if (request.offerReadOnly) {
        // The read-only box sits under the file type row; only Qt's own dialog has room for it.
        dlg.setOption(QFileDialog::DontUseNativeDialog);
        readOnly = new QCheckBox(QStringLiteral("Open as &read-only"), &dlg);
        if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout()))
            grid->addWidget(readOnly, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    OpenFileResult result;
    result.path = S(dlg.selectedFiles().first());
    result.readOnly = readOnly && readOnly->isChecked();
    return result;
}

std::optional<std::string> QtPrompt::SaveFile(const SaveFileRequest& request)
{
    QFileDialog dlg(Owner(m_parent), Q(request.title), Q(request.folder));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters(NameFilters(request.filters));
    dlg.setDefaultSuffix(Q(request.defaultSuffix));
    if (!request.confirmOverwrite)
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.fileName.empty())
        dlg.selectFile(Q(request.fileName));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return S(dlg.selectedFiles().first());
}

std::optional<std::string> QtPrompt::ChooseFolder(const std::string& title, const std::string& folder)
{
    const QString dir = QFileDialog::getExistingDirectory(Owner(m_parent), Q(title), Q(folder));
    if (dir.isEmpty())
        return std::nullopt;
    return S(dir);
}

}  // namespace mv53
