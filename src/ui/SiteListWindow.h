#pragma once

#include "text/GbkText.h"
#include "ui/SharedValue.h"

#include <QWidget>

class QCloseEvent;
class QPlainTextEdit;

namespace pellorin::ui {

class Dialogs;

// The competing sites of a multi-site run: a modeless window of the main window, with a box of
// domains, one a line. OK keeps the box's text as the run's site list and hides the window; the
// window lives as long as its owner and its box keeps what the user wrote between showings.
class SiteListWindow final : public QWidget {
    Q_OBJECT

public:
    // owner: the main window, which the window belongs to and is deleted with.
    SiteListWindow(QWidget* owner, Dialogs& dialogs);

    // The box's text at the last accepted OK, as GBK with lines ended by CR LF; empty until then.
    // Task threads may read it while the window lives.
    text::Text SiteListText() const { return m_siteListText.Get(); }
    // The box's text now, in the same form.
    text::Text BoxText() const;
    // Shows the window, restored if minimised, above the others.
    void ShowNormal();

Q_SIGNALS:
    // The user closed the window: the main window goes back to querying one site.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Confirm();

    Dialogs& m_dialogs;
    QPlainTextEdit* m_box = nullptr;
    SharedValue<text::Text> m_siteListText;
};

} // namespace pellorin::ui
