// Controls mirrored for task threads: the window writes on its thread, tasks read at any time.
#include "ui/QtText.h"
#include "ui/SharedValue.h"

#include "support/Gbk.h"

#include <QCheckBox>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace pellorin::ui {
namespace {

using test::Gbk;

TEST(SharedValue, TasksReadWholeValuesOfTheControlsWhileTheWindowEdits)
{
    QLineEdit domain;
    QCheckBox landing;
    SharedValue<text::Text> domainMirror(FromQString(domain.text()));
    SharedValue<bool> landingMirror(landing.isChecked());
    QObject::connect(
        &domain, &QLineEdit::textChanged, [&](const QString& text) { domainMirror.Set(FromQString(text)); });
    QObject::connect(&landing, &QCheckBox::toggled, [&](bool checked) { landingMirror.Set(checked); });

    // Long enough to leave the string's inline buffer, so that a torn read would show.
    std::vector<QString> typed;
    std::set<text::Text> allowed{""};
    for (int i = 0; i < 200; ++i) {
        typed.push_back(QStringLiteral(u"www.例子%1.com/路径/页面").arg(i));
        allowed.insert(Gbk("www.例子" + std::to_string(i) + ".com/路径/页面"));
    }

    std::atomic<bool> stop{false};
    std::vector<std::thread> tasks;
    std::vector<std::set<text::Text>> seen(4);
    for (int t = 0; t < 4; ++t) {
        tasks.emplace_back([&, t] {
            for (int i = 0; i < 200'000 && !stop.load(std::memory_order_relaxed); ++i) {
                seen[t].insert(domainMirror.Get());
                landingMirror.Get();
            }
        });
    }
    for (const QString& text : typed) {
        domain.setText(text);
        landing.toggle();
    }
    stop = true;
    for (std::thread& task : tasks)
        task.join();

    for (const auto& values : seen)
        for (const text::Text& value : values)
            EXPECT_TRUE(allowed.contains(value)) << value;
    EXPECT_EQ(domainMirror.Get(), Gbk("www.例子199.com/路径/页面"));
    EXPECT_EQ(landingMirror.Get(), false); // toggled an even number of times
}

} // namespace
} // namespace pellorin::ui
