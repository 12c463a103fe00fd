#include "ui/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace pellorin::ui {

QtDialogs::QtDialogs(QWidget* parent)
    : m_parent(parent)
{
}

QWidget* QtDialogs::Parent() const
{
    return m_parent ? m_parent.data() : QApplication::activeWindow();
}

int QtDialogs::Message(const QString& text, MessageButtons buttons)
{
    const bool yesNo = buttons == MessageButtons::YesNo;
    QMessageBox box(yesNo ? QMessageBox::Question : QMessageBox::Information, kMessageTitle.toString(), text,
        yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, Parent());
    // Texts may quote result pages: "<" must show as it is.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    // Escape and the close button answer No (Qt's own choice for a Yes/No box) or OK.
    switch (box.exec()) {
    case QMessageBox::Yes:
        return kAnswerYes;
    case QMessageBox::No:
        return kAnswerNo;
    default:
        return kAnswerOk;
    }
}

SaveFileChoice QtDialogs::SaveFile(const SaveFileRequest& request)
{
    QFileDialog dialog(Parent(), request.title, QString(), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {true, dialog.selectedFiles().constFirst()};
}

int PresetDialogs::Message(const QString& text, MessageButtons buttons)
{
    m_messages.push_back({text, buttons});
    if (m_messageAnswers.empty()) {
        ++m_unanswered;
        return buttons == MessageButtons::YesNo ? kAnswerNo : kAnswerOk;
    }
    const int answer = m_messageAnswers.front();
    m_messageAnswers.pop_front();
    return answer;
}

SaveFileChoice PresetDialogs::SaveFile(const SaveFileRequest& request)
{
    m_saveRequests.push_back(request);
    if (m_saveChoices.empty()) {
        ++m_unanswered;
        return {};
    }
    SaveFileChoice choice = std::move(m_saveChoices.front());
    m_saveChoices.pop_front();
    return choice;
}

} // namespace pellorin::ui
