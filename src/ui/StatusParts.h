#pragma once

#include <QWidget>

#include <array>

class QLabel;

namespace pellorin::ui {

// The main window's status line: twenty parts of fixed widths side by side, the counts of
// the last single-site run beside their labels.
class StatusParts : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPartCount = 20;

    explicit StatusParts(QWidget* parent = nullptr);

    // An index outside the parts is ignored (reads give "").
    void SetPartText(int index, const QString& text);
    QString PartText(int index) const;

private:
    std::array<QLabel*, kPartCount> m_parts{};
};

} // namespace pellorin::ui
