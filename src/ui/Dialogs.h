#pragma once

#include <QPointer>
#include <QString>
#include <QStringView>
#include <QWidget>

#include <deque>
#include <vector>

namespace pellorin::ui {

// The answers of a message box, as the program's callers compare them.
inline constexpr int kAnswerOk = 0;
inline constexpr int kAnswerYes = 5;
inline constexpr int kAnswerNo = 6;

enum class MessageButtons { Ok, YesNo };

// The title of every message box.
inline constexpr QStringView kMessageTitle = u"信息：";

struct SaveFileRequest {
    QString title;
    QString filter;        // as QFileDialog takes it, for example "CSV (*.csv)"
    QString defaultSuffix; // added when the chosen name has none, for example "csv"
    QString fileName;      // the starting name, with or without a folder
};

struct SaveFileChoice {
    bool confirmed = false;
    QString path;
};

// The program's questions to the user. The window asks through this interface, so that tests
// can answer in advance instead of a person.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box titled kMessageTitle; kAnswerOk, kAnswerYes or kAnswerNo.
    virtual int Message(const QString& text, MessageButtons buttons) = 0;
    // A save dialog.
    virtual SaveFileChoice SaveFile(const SaveFileRequest& request) = 0;
};

// Qt's message box and file dialog, modal for all of the program's windows.
class QtDialogs final : public Dialogs {
public:
    // parent: the window the dialogs stand over (the active window when null or gone).
    explicit QtDialogs(QWidget* parent = nullptr);

    int Message(const QString& text, MessageButtons buttons) override;
    SaveFileChoice SaveFile(const SaveFileRequest& request) override;

private:
    QWidget* Parent() const;

    QPointer<QWidget> m_parent;
};

// Answers given in advance, for tests. Each question takes the next preset answer of its kind
// and is recorded; without one it is declined (OK, No, not confirmed) and counted as unanswered.
class PresetDialogs final : public Dialogs {
public:
    struct MessageQuestion {
        QString text;
        MessageButtons buttons;
    };

    void PresetMessageAnswer(int answer) { m_messageAnswers.push_back(answer); }
    void PresetSaveChoice(SaveFileChoice choice) { m_saveChoices.push_back(std::move(choice)); }

    int Message(const QString& text, MessageButtons buttons) override;
    SaveFileChoice SaveFile(const SaveFileRequest& request) override;

    const std::vector<MessageQuestion>& Messages() const { return m_messages; }
    const std::vector<SaveFileRequest>& SaveRequests() const { return m_saveRequests; }
    int Unanswered() const { return m_unanswered; }

private:
    std::deque<int> m_messageAnswers;
    std::deque<SaveFileChoice> m_saveChoices;
    std::vector<MessageQuestion> m_messages;
    std::vector<SaveFileRequest> m_saveRequests;
    int m_unanswered = 0;
};

} // namespace pellorin::ui
