#pragma once

#include <QDialog>

namespace pellorin::ui {

// What the program is, what changed in its versions, and links to the maker's site. The main
// window shows it modal, with exec().
class AboutWindow final : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

} // namespace pellorin::ui
