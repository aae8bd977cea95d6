// Balloon tooltips on the widgets of the window: title, information icon, dark blue text on white,
// shown for 30 seconds, broken into lines where the text has its own line breaks.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

#include "core/platform/interfaces.h"

namespace zt {

class QtTooltipHost final : public TooltipHost {
public:
    // `widgetOf` finds the widget that shows a control (nullptr when it has none).
    explicit QtTooltipHost(std::function<QWidget*(const std::string&)> widgetOf);
    ~QtTooltipHost() override;
    QtTooltipHost(const QtTooltipHost&) = delete;
    QtTooltipHost& operator=(const QtTooltipHost&) = delete;

    std::uint32_t create(const std::string& control, const TipSpec& tip) override;
    void update(std::uint32_t handle, const TipSpec& tip) override;
    void destroy(std::uint32_t handle) override;

    // Live tooltips.
    std::size_t count() const { return tips_.size(); }

    // The rich text a tip is shown with.
    static QString html(const TipSpec& tip);

private:
    struct Live {
        QPointer<QWidget> widget;
        QString html;
        int autoPopMs = 30000;
    };
    void attach(Live& live);
    void detach(const Live& live);

    std::function<QWidget*(const std::string&)> widgetOf_;
    std::map<std::uint32_t, Live> tips_;
    std::uint32_t next_ = 1;
};

}  // namespace zt
