#include "core/app/control.h"

#include <stdexcept>

namespace zt {

Control::Control(std::string name, Kind kind, std::string container, std::string text, int maxLength)
    : name_(std::move(name)),
      kind_(kind),
      container_(std::move(container)),
      maxLength_(maxLength),
      text_(std::move(text)) {}

void Control::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    notify(Prop::Text);
}

void Control::setValue(int value) {
    if (value == value_) return;
    value_ = value;
    notify(Prop::Value);
}

void Control::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    notify(Prop::Enabled);
}

void Control::setForeColor(Colour c) {
    if (c == foreColor_) return;
    foreColor_ = c;
    notify(Prop::ForeColor);
}

void Control::setBackColor(Colour c) {
    if (c == backColor_) return;
    backColor_ = c;
    notify(Prop::BackColor);
}

void Control::addItem(std::string item) {
    items_.push_back(std::move(item));
    notify(Prop::ItemAdded, itemCount() - 1);
}

void Control::removeItem(int index) {
    if (index < 0 || index >= itemCount()) return;
    items_.erase(items_.begin() + index);
    if (listIndex_ >= itemCount())
        listIndex_ = itemCount() - 1;
    else if (listIndex_ == index)
        listIndex_ = -1;
    notify(Prop::ItemRemoved, index);
}

void Control::clearItems() {
    items_.clear();
    listIndex_ = -1;
    notify(Prop::ItemsReset);
}

void Control::setItem(int index, std::string item) {
    if (index < 0 || index >= itemCount()) return;
    items_[static_cast<std::size_t>(index)] = std::move(item);
    notify(Prop::ItemsReset);
}

void Control::setListIndex(int index) {
    if (index < -1) index = -1;
    if (index == listIndex_) return;
    listIndex_ = index;
    notify(Prop::ListIndex);
}

int Control::observe(Observer obs) {
    const int id = nextObserver_++;
    observers_.emplace_back(id, std::move(obs));
    return id;
}

void Control::unobserve(int id) {
    for (auto it = observers_.begin(); it != observers_.end(); ++it) {
        if (it->first == id) {
            observers_.erase(it);
            return;
        }
    }
}

void Control::notify(Prop p, int index) {
    // Observers may add further observers while being told; index-based walk stays valid.
    for (std::size_t i = 0; i < observers_.size(); ++i) {
        auto obs = observers_[i].second;
        obs(*this, p, index);
    }
}

Control& ControlArray::add(int index, Kind kind, std::string container, std::string text, int maxLength) {
    auto c = std::make_unique<Control>(base_ + "(" + std::to_string(index) + ")", kind, std::move(container),
                                       std::move(text), maxLength);
    auto& ref = *c;
    members_[index] = std::move(c);
    return ref;
}

Control& ControlArray::operator()(int index) {
    auto it = members_.find(index);
    if (it == members_.end()) throw std::out_of_range(base_ + ": no member " + std::to_string(index));
    return *it->second;
}

const Control& ControlArray::operator()(int index) const {
    auto it = members_.find(index);
    if (it == members_.end()) throw std::out_of_range(base_ + ": no member " + std::to_string(index));
    return *it->second;
}

std::vector<int> ControlArray::indexes() const {
    std::vector<int> out;
    out.reserve(members_.size());
    for (const auto& [i, c] : members_) out.push_back(i);
    return out;
}

}  // namespace zt
