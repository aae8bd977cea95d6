// A control of the window as plain data: the logic reads and writes these value holders and the
// widget layer mirrors them. Every change is announced to the observers of the control.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/colour.h"

namespace zt {

enum class Kind : std::uint8_t {
    Window,
    Label,
    TextBox,
    CheckBox,
    ComboBox,
    ListBox,
    Button,
    Frame,
    Picture,
    Tabs
};

// What changed. For item changes the observer also gets the item index (-1 for the whole list).
enum class Prop : std::uint8_t {
    Text,
    Value,
    Enabled,
    ForeColor,
    BackColor,
    ItemsReset,
    ItemAdded,
    ItemRemoved,
    ListIndex
};

class Control {
public:
    using Observer = std::function<void(Control&, Prop, int index)>;

    Control(std::string name, Kind kind, std::string container, std::string text = {}, int maxLength = 0);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Kind kind() const { return kind_; }
    const std::string& container() const { return container_; }
    // Limit on what the operator types (0: none). The program itself may set a longer text.
    int maxLength() const { return maxLength_; }

    // Caption of labels, buttons, frames, check boxes and the window; text of text and combo boxes.
    const std::string& text() const { return text_; }
    void setText(std::string text);
    // Tick state of a check box: 0 or 1.
    int value() const { return value_; }
    void setValue(int value);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    Colour foreColor() const { return foreColor_; }
    void setForeColor(Colour c);
    Colour backColor() const { return backColor_; }
    void setBackColor(Colour c);

    // Items of list and combo boxes, tab captions of the tab control.
    const std::vector<std::string>& items() const { return items_; }
    int itemCount() const { return static_cast<int>(items_.size()); }
    void addItem(std::string item);
    void removeItem(int index);
    void clearItems();
    void setItem(int index, std::string item);
    // Selected item (-1: none); the shown tab of the tab control.
    int listIndex() const { return listIndex_; }
    void setListIndex(int index);

    int observe(Observer obs);
    void unobserve(int id);

private:
    void notify(Prop p, int index = -1);

    std::string name_;
    Kind kind_;
    std::string container_;
    int maxLength_;
    std::string text_;
    int value_ = 0;
    bool enabled_ = true;
    Colour foreColor_ = kDefaultColour;
    Colour backColor_ = kDefaultColour;
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserver_ = 1;
};

// A control array: members addressed by their index; an index that was never added does not exist.
class ControlArray {
public:
    explicit ControlArray(std::string base) : base_(std::move(base)) {}
    Control& add(int index, Kind kind, std::string container, std::string text = {}, int maxLength = 0);
    // Throws std::out_of_range for an index the array does not have.
    Control& operator()(int index);
    const Control& operator()(int index) const;
    bool has(int index) const { return members_.count(index) != 0; }
    std::vector<int> indexes() const;
    const std::string& base() const { return base_; }

private:
    std::string base_;
    std::map<int, std::unique_ptr<Control>> members_;
};

}  // namespace zt
